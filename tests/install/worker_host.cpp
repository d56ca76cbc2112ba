// Runs one install worker against a window that plays the installer's main
// window: a hidden window on this program's main thread that applies
// nothing and writes every message the worker sends it, in arrival order,
// to a transcript (UTF-8, one line each, written as it arrives, so a
// process the worker ends keeps its lines).
//   install_worker_host.exe --transcript FILE --update HOST:PORT --path PATH
//       --stats HOST:PORT --root DIR\ [--name NAME] [--attempts N]
//       [--stall-ms N] [--channel N] [--parked] [--runs N] [--keys "KEY [KEY]"]
// Transcript lines: "window <hwnd>", "text <element> <text>",
// "visible <element> <0|1>", "timer <id> <ms>", "activate <state>",
// "paused", "holding" (the paused worker reached a checkpoint), "continued",
// "end <state>" (after each worker; --runs starts the next one with the
// same client, parked, as the failure panel's OK button does). The test drives it by
// posting MSG_HOST_PAUSE and MSG_HOST_CONTINUE to the window.
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <map>
#include <string>

#include "app/debug_log.h"
#include "app/instance.h"
#include "base/file_io.h"
#include "base/unique_resource.h"
#include "install/install_worker.h"
#include "tests/install/worker_host_messages.h"

namespace {

// Watches for the paused worker to reach its checkpoint.
constexpr UINT_PTR kHoldingTimer = 1000;

UniqueFile transcript;
InstallClient* client;
std::shared_ptr<WorkerQueue> queue = std::make_shared<WorkerQueue>();

void Record(const std::wstring& line)
{
    std::wstring full = line + L"\n";
    int size = WideCharToMultiByte(CP_UTF8, 0, full.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string utf8(size, '\0');
    WideCharToMultiByte(CP_UTF8, 0, full.c_str(), -1, utf8.data(), size, nullptr, nullptr);
    WriteAll(transcript.get(), utf8.data(), static_cast<DWORD>(size - 1));
}

LRESULT CALLBACK HostProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == ActivateMessage) {
        Record(L"activate " + std::to_wstring(installState.load()));
        return 0;
    }
    switch (msg) {
    case MSG_WORKER_QUEUE:
        for (const WorkerUpdate& update : queue->TakeAll()) {
            switch (update.request) {
            case WorkerRequest::Text:
                Record(L"text " + std::to_wstring(update.target) + L" " + update.text);
                break;
            case WorkerRequest::Visible:
                Record(L"visible " + std::to_wstring(update.target) + L" " + std::to_wstring(update.value));
                break;
            case WorkerRequest::Timer:
                Record(L"timer " + std::to_wstring(update.target) + L" " + std::to_wstring(update.value));
                if (update.value)
                    SetTimer(hwnd, update.target, update.value, nullptr);
                else
                    KillTimer(hwnd, update.target);
                break;
            case WorkerRequest::Activate:
                Record(L"activate " + std::to_wstring(installState.load()));
                break;
            }
        }
        return 0;
    case MSG_HOST_PAUSE:
        client->gate().Pause();
        Record(L"paused");
        SetTimer(hwnd, kHoldingTimer, 10, nullptr);
        return 0;
    case WM_TIMER:
        if (wParam == kHoldingTimer && client->gate().IsHolding()) {
            KillTimer(hwnd, kHoldingTimer);
            Record(L"holding");
        }
        return 0;
    case MSG_HOST_CONTINUE:
        client->gate().Continue();
        Record(L"continued");
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

std::map<std::wstring, std::wstring> Arguments()
{
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    std::map<std::wstring, std::wstring> args;
    for (int i = 1; i < argc; ++i) {
        std::wstring key = argv[i];
        args[key] = i + 1 < argc && wcsncmp(argv[i + 1], L"--", 2) != 0 ? argv[++i] : L"1";
    }
    LocalFree(argv);
    return args;
}

std::string Narrow(const std::wstring& text)
{
    return std::string(text.begin(), text.end());
}

}  // namespace

int main()
{
    std::map<std::wstring, std::wstring> args = Arguments();
    transcript.reset(CreateFileW(args[L"--transcript"].c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                 CREATE_ALWAYS, 0, nullptr));
    if (!transcript)
        return 2;

    WorkerSettings settings;
    settings.updateHost = Narrow(args[L"--update"]);
    settings.downloadPath = Narrow(args[L"--path"]);
    settings.archiveName = "kp_lobby.install";
    settings.statsHost = Narrow(args[L"--stats"]);
    settings.installRoot = args[L"--root"];
    settings.displayName = args.count(L"--name") ? args[L"--name"] : L"Quillmoor";
    settings.channelId = args.count(L"--channel") ? _wtoi(args[L"--channel"].c_str()) : 0;
    settings.attempts = args.count(L"--attempts") ? _wtoi(args[L"--attempts"].c_str()) : 100000;
    settings.archiveKeys = Narrow(args[L"--keys"]);
    settings.stallLimitMs = args.count(L"--stall-ms") ? _wtoi(args[L"--stall-ms"].c_str()) : 120000;
    settings.installDir = settings.installRoot + settings.displayName + L"\\";
    int runs = args.count(L"--runs") ? _wtoi(args[L"--runs"].c_str()) : 1;

    WNDCLASSW wc = {};
    wc.lpfnWndProc = HostProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"WorkerHostWindow";
    RegisterClassW(&wc);
    // A hidden top-level window, so the shortcut step's broadcast reaches it too.
    HWND window = CreateWindowExW(0, wc.lpszClassName, L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                  wc.hInstance, nullptr);
    wchar_t handle[32];
    swprintf(handle, 32, L"window %llx", static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(window)));
    Record(handle);

    InstallClient installClient;
    client = &installClient;
    DebugLog log;
    log.Open();
    bool parked = args.count(L"--parked") != 0;
    for (int run = 0; run < runs; ++run) {
        installState = Installing;
        // Later runs are parked, as the failure panel's OK button parks one.
        UniqueHandle worker = StartInstallWorker(installClient, window, queue, &log, settings, parked || run > 0);
        if (!worker)
            return 3;
        HANDLE waits[] = {worker.get()};
        for (;;) {
            DWORD woke = MsgWaitForMultipleObjects(1, waits, FALSE, INFINITE, QS_ALLINPUT);
            MSG msg;
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
                DispatchMessageW(&msg);
            if (woke == WAIT_OBJECT_0)
                break;
        }
        Record(L"end " + std::to_wstring(installState.load()));
    }
    return 0;
}
