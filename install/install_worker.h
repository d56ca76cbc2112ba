// The install worker: download with retries, extraction with one retry,
// then the hand-over to the window (shortcut, state, report) or the
// failure panel. One run per thread; a new attempt is a new worker.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "base/unique_resource.h"
#include "install/install_client.h"
#include "install/window_link.h"

class DebugLog;

// Taken on the window's thread when the worker starts, from one consistent
// state of the window, so nothing the window changes later reaches a
// running worker.
struct WorkerSettings {
    std::string updateHost;    // "host" or "host:port"
    std::string downloadPath;  // object path on the update host
    std::string archiveName;   // local file name in the install directory
    std::string statsHost;     // "host" or "host:port"
    std::wstring installRoot;  // extraction destination, ends with a backslash
    std::wstring installDir;   // the path label's directory: the root, the display name, a backslash
    std::wstring displayName;  // names the shortcut
    int channelId = 0;
    int attempts = 0;
    DWORD stallLimitMs = 0;    // no byte for this long ends the download
};

// Runs the whole procedure on the calling thread. `log` may be null.
void InstallWorker(InstallClient& client, const WindowLink& window, DebugLog* log, const WorkerSettings& settings);

// The name the worker's thread carries for debuggers and crash dumps.
constexpr wchar_t kInstallWorkerThreadName[] = L"install worker";

// Starts InstallWorker on a thread of its own. A parked worker runs no step
// before the client's pause gate is continued.
UniqueHandle StartInstallWorker(InstallClient& client, HWND window, std::shared_ptr<WorkerQueue> queue, DebugLog* log,
                                const WorkerSettings& settings, bool parked);
