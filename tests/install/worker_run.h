// Running the worker host, and reading back what an installation left: the
// transcript of the window side, the statistics reports nginx logged and
// the desktop shortcut.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/support/child_process.h"
#include "tests/support/scratch_dir.h"

struct HostOptions {
    std::string update;  // HOST:PORT
    std::string path;    // download path
    std::string stats;   // HOST:PORT; nginx when empty
    std::wstring root;   // install root, ends with a backslash
    int channel = 0;     // tells this run's reports apart
    int attempts = 100000;
    DWORD stallMs = 120000;
    bool parked = false;
    int runs = 1;  // workers one after the other, the later ones parked
    std::string keys;  // minisign keys the archive must be signed with
};

// One worker host process and its transcript.
class WorkerHost {
public:
    WorkerHost(const ScratchDir& scratch, const HostOptions& options);
    bool started() const { return process_->started(); }
    ChildProcess& process() { return *process_; }
    // Waits for the process to end; false after `ms`.
    bool Finish(DWORD ms = 60000);
    std::vector<std::wstring> Lines() const;
    // Waits until a transcript line equals `line`.
    bool WaitForLine(const std::wstring& line, DWORD ms = 30000) const;
    HWND window() const;

private:
    std::wstring transcript_;
    std::unique_ptr<ChildProcess> process_;
};

// The sample archives, copied once into the HTTP peers' folder.
std::string ServeSample(const std::wstring& name);  // served path, "/<name>"

// Query strings of the statistics requests nginx logged for `channel`.
std::vector<std::string> ReportsFor(int channel);
// Waits until at least one report for `channel` is logged.
std::vector<std::string> WaitForReports(int channel, DWORD ms = 10000);
// The user agent nginx logged with the report whose query is `query`.
std::string ReportAgent(const std::string& query);
// The value of `key` in a query string, percent-decoded ('+' as space).
std::string QueryValue(const std::string& query, const std::string& key);
std::wstring FromUtf8(const std::string& text);

struct Shortcut {
    bool exists = false;
    std::wstring target;
    std::wstring directory;
};
Shortcut ReadShortcut(const std::wstring& path);
