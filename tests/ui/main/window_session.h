// One installer under test on the test display: its process and window,
// real clicks at client points, and the screen's pixels of its client area
// compared with a composed look.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "tests/support/child_process.h"
#include "tests/support/scratch_dir.h"
#include "tests/ui/main/window_look.h"

// Installers of this build, by file name relative to the build folder.
extern const wchar_t kLocalInstaller[];   // /quillmoor.zip at full speed
extern const wchar_t kPacedInstaller[];   // /paced/quillmoor.zip, 128 KB/s
extern const wchar_t kLaterInstaller[];   // /later.zip, 3 attempts

class InstallerRun {
public:
    // Starts `installer` (relative to the build folder, or a full path) in a
    // scratch folder.
    explicit InstallerRun(const std::wstring& installer);
    ~InstallerRun();

    // Waits for the main window; false when it did not show.
    bool WaitForWindow(DWORD ms = 20000);
    HWND window() const { return window_; }
    ChildProcess& process() { return *process_; }
    RECT ScreenRect() const;
    POINT ScreenPoint(int x, int y) const;

    // A real click at a client point; the pointer then rests on the
    // window's lower left corner, so no button stays in its hover cell.
    bool Click(int x, int y);
    // The client area as the screen shows it.
    Pixels Shot() const;
    // Waits until `region` of the screen shows what `expected` has there,
    // where `expected` is opaque.
    testing::AssertionResult WaitForLook(const Pixels& expected, const Region& region, DWORD ms = 5000) const;
    // The process's exit code once it ended within `ms`, else 0xDEADBEEF.
    DWORD WaitForExit(DWORD ms);

private:
    ScratchDir folder_;
    std::unique_ptr<ChildProcess> process_;
    HWND window_ = nullptr;
};

// Pixels of `region` that differ (RGB) between `got` and `expected` where
// `expected` is opaque; `first` describes the first of them.
int Differences(const Pixels& got, const Pixels& expected, const RECT& region, std::string* first);

// Moves the pointer to a resting place in the screen's corner, away from
// the windows under test.
testing::AssertionResult PointerAway();

// The sample archives and the local update host.
std::wstring ServedFolder();               // Windows path of nginx's folder, ends with "\"
void Serve(const std::wstring& sample, const std::wstring& as);
void Unserve(const std::wstring& as);
// Requests nginx logged for `path` (or, with `prefix`, for paths that begin
// with it, queries included).
int RequestCount(const std::string& path, bool prefix = false);
// Statistics reports whose whole (slow, two-second) answer was read.
int WholeReportCount();

// Removes a folder, waiting for a started client to let go of it.
void RemoveFolder(const std::wstring& path);
// Removes an installation and the shortcut.
void RemoveInstallation(const std::wstring& installDir);

// "C:\Program Files\Quillmoor\", where the client goes without a D: disk.
extern const wchar_t kDefaultInstallDir[];

// Every window test: the pointer away from the windows, the sample archive
// served as the local variant asks for it, no installation before or after.
class WindowTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
};
