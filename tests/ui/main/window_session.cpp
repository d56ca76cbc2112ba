#include "tests/ui/main/window_session.h"

#include <algorithm>
#include <cstdlib>
#include <sstream>

#include "base/unique_resource.h"
#include "tests/support/windows.h"
#include "tests/support/xdotool.h"

const wchar_t kLocalInstaller[] = L"local/Download_kp_local.exe";
const wchar_t kPacedInstaller[] = L"tests/ui/main/Download_kp_paced.exe";
const wchar_t kLaterInstaller[] = L"tests/ui/main/Download_kp_later.exe";
const wchar_t kDefaultInstallDir[] = L"C:\\Program Files\\Quillmoor\\";

namespace {

uint32_t Rgb(uint32_t pixel)
{
    return pixel & 0xFFFFFF;
}

// A failed comparison leaves both pictures in the build folder, named after
// the test.
std::string KeepPictures(const Pixels& shot, const Pixels& expected)
{
    static int count = 0;
    const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string(test ? test->name() : "look") + "-" + std::to_string(++count);
    std::wstring folder = BuildPath(L"tests/ui/main/window-pictures\\");
    CreateDirectoryW(folder.c_str(), nullptr);
    std::wstring base = folder + std::wstring(name.begin(), name.end());
    WriteBmp32(base + L"-screen.bmp", shot);
    WriteBmp32(base + L"-look.bmp", expected);
    return "tests/ui/main/window-pictures/" + name + "-*.bmp";
}

}  // namespace

InstallerRun::InstallerRun(const std::wstring& installer)
{
    bool full = installer.size() > 1 && installer[1] == L':';
    process_ = std::make_unique<ChildProcess>(full ? installer : ProgramPath(installer), folder_.path());
}

InstallerRun::~InstallerRun()
{
    process_->Terminate();
}

bool InstallerRun::WaitForWindow(DWORD ms)
{
    if (!process_->started())
        return false;
    window_ = WaitForProcessWindow(process_->id(), "DownloadWindow", ms);
    return window_ != nullptr;
}

RECT InstallerRun::ScreenRect() const
{
    RECT rect = {};
    GetWindowRect(window_, &rect);
    return rect;
}

POINT InstallerRun::ScreenPoint(int x, int y) const
{
    RECT rect = ScreenRect();
    return {rect.left + x, rect.top + y};
}

bool InstallerRun::Click(int x, int y)
{
    // Then to a spot of the window where nothing reacts to the pointer: a
    // move the window sees itself ends the hover of what was clicked, where
    // a pointer gone to another program's window may leave it behind.
    return ClickAt(ScreenPoint(x, y)) && Xdo(ArriveAt(ScreenPoint(10, 340)));
}

Pixels InstallerRun::Shot() const
{
    return CaptureScreen(ScreenRect());
}

testing::AssertionResult InstallerRun::WaitForLook(const Pixels& expected, const Region& region, DWORD ms) const
{
    int opaque = 0;
    for (int y = region.rect.top; y < region.rect.bottom && y < expected.height; ++y)
        for (int x = region.rect.left; x < region.rect.right && x < expected.width; ++x)
            opaque += expected.at(x, y) >> 24 == 0xFF;
    if (opaque == 0)
        return testing::AssertionFailure() << region.name << ": the composed look has nothing there; pictures in "
                                           << KeepPictures(Shot(), expected);
    DWORD start = GetTickCount();
    std::string first;
    int differing = 0;
    Pixels shot;
    do {
        shot = Shot();
        if (shot.width != expected.width || shot.height != expected.height)
            differing = -1;
        else if ((differing = Differences(shot, expected, region.rect, &first)) == 0)
            return testing::AssertionSuccess();
        Sleep(20);
    } while (GetTickCount() - start < ms);
    if (differing < 0)
        return testing::AssertionFailure() << region.name << ": the window is " << shot.width << " x " << shot.height;
    return testing::AssertionFailure() << region.name << ": " << differing << " pixels differ, first " << first
                                       << "; pictures in " << KeepPictures(shot, expected);
}

DWORD InstallerRun::WaitForExit(DWORD ms)
{
    return process_->Wait(ms) ? process_->ExitCode() : 0xDEADBEEF;
}

int Differences(const Pixels& got, const Pixels& expected, const RECT& region, std::string* first)
{
    int differing = 0;
    for (int y = region.top; y < region.bottom && y < got.height; ++y) {
        for (int x = region.left; x < region.right && x < got.width; ++x) {
            uint32_t want = expected.at(x, y);
            if (want >> 24 != 0xFF || Rgb(got.at(x, y)) == Rgb(want))
                continue;
            if (differing++ == 0)
                *first = std::to_string(x) + "," + std::to_string(y) + ": " + Hex(Rgb(got.at(x, y))) +
                         " instead of " + Hex(Rgb(want));
        }
    }
    return differing;
}

namespace {

// A small window of this process in the screen's corner for the pointer to
// rest on. Wine follows the pointer only over its own windows: resting on
// the bare root, it would go on placing the pointer where it left the last
// window, and a window shown there later would take it for hovered. The
// window lives on a thread of its own that keeps reading its messages.
class PointerRest {
public:
    PointerRest()
    {
        ready_.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
        thread_.reset(CreateThread(nullptr, 0, Run, this, 0, nullptr));
        WaitForSingleObject(ready_.get(), 10000);
    }
    POINT Centre() const { return {at_.x + kSize / 2, at_.y + kSize / 2}; }

private:
    static constexpr int kSize = 16;

    static DWORD WINAPI Run(void* parameter)
    {
        auto* self = static_cast<PointerRest*>(parameter);
        WNDCLASSW wc = {};
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"WindowTestPointerRest";
        RegisterClassW(&wc);
        self->at_ = {GetSystemMetrics(SM_CXSCREEN) - kSize, GetSystemMetrics(SM_CYSCREEN) - kSize};
        HWND window = CreateWindowExW(WS_EX_TOPMOST | WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW, wc.lpszClassName, L"",
                                      WS_POPUP, self->at_.x, self->at_.y, kSize, kSize, nullptr, nullptr,
                                      wc.hInstance, nullptr);
        ShowWindow(window, SW_SHOWNOACTIVATE);
        SetEvent(self->ready_.get());
        MSG msg;
        while (GetMessageW(&msg, nullptr, 0, 0) > 0)
            DispatchMessageW(&msg);
        return 0;
    }

    UniqueHandle ready_;
    UniqueHandle thread_;  // ends with the test program
    POINT at_ = {};
};

}  // namespace

testing::AssertionResult PointerAway()
{
    static PointerRest rest;
    POINT target = rest.Centre();
    if (!Xdo(ArriveAt(target)))
        return testing::AssertionFailure() << "xdotool failed";
    POINT at = {};
    DWORD start = GetTickCount();
    while (GetCursorPos(&at) && (at.x != target.x || at.y != target.y)) {
        if (GetTickCount() - start > 5000)
            return testing::AssertionFailure() << "the pointer is at " << at.x << "," << at.y << ", not at rest";
        Sleep(5);
    }
    return testing::AssertionSuccess();
}

std::wstring ServedFolder()
{
    return FolderFromEnvironment("LOBBY_WINDOW_PEERS") + L"data\\";
}

void Serve(const std::wstring& sample, const std::wstring& as)
{
    CopyFileW((FolderFromEnvironment("LOBBY_INSTALL_DATA") + sample).c_str(), (ServedFolder() + as).c_str(), FALSE);
}

void Unserve(const std::wstring& as)
{
    DeleteFileW((ServedFolder() + as).c_str());
}

int RequestCount(const std::string& path, bool prefix)
{
    std::istringstream log(ReadFileBytes(ServedFolder() + L"..\\nginx-access.log"));
    std::string needle = "\"GET " + path + (prefix ? "" : " ");
    int count = 0;
    for (std::string line; std::getline(log, line);)
        count += line.find(needle) != std::string::npos;
    return count;
}

int WholeReportCount()
{
    // nginx logs the bytes it sent: the whole answer only when the reader
    // stayed for it.
    static const std::string kReport = "\"GET /ajax/quickDownLoadStatistics/quickDownStatistics.jsp?";
    std::istringstream log(ReadFileBytes(ServedFolder() + L"..\\nginx-access.log"));
    int count = 0;
    for (std::string line; std::getline(log, line);)
        count += line.find(kReport) != std::string::npos && line.find("\" 200 6144 ") != std::string::npos;
    return count;
}

void RemoveFolder(const std::wstring& path)
{
    // The started client may still be ending, and its program cannot be
    // deleted until it has.
    DWORD start = GetTickCount();
    for (RemoveTree(path); FileExists(path) && GetTickCount() - start < 10000; RemoveTree(path))
        Sleep(50);
}

void RemoveInstallation(const std::wstring& installDir)
{
    RemoveFolder(installDir);
    DeleteFileW(DesktopShortcutPath().c_str());
}

void WindowTest::SetUp()
{
    ASSERT_TRUE(PointerAway());
    Serve(L"quillmoor.zip", L"quillmoor.zip");
    RemoveInstallation(kDefaultInstallDir);
}

void WindowTest::TearDown()
{
    Unserve(L"later.zip");
    RemoveInstallation(kDefaultInstallDir);
}
