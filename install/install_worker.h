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
#include "install/worker_settings.h"

class DebugLog;

// Runs the whole procedure on the calling thread. `log` may be null.
void InstallWorker(InstallClient& client, const WindowLink& window, DebugLog* log, const WorkerSettings& settings);

// The name the worker's thread carries for debuggers and crash dumps.
constexpr wchar_t kInstallWorkerThreadName[] = L"install worker";

// Starts InstallWorker on a thread of its own. A parked worker runs no step
// before the client's pause gate is continued.
UniqueHandle StartInstallWorker(InstallClient& client, HWND window, std::shared_ptr<WorkerQueue> queue, DebugLog* log,
                                const WorkerSettings& settings, bool parked);
