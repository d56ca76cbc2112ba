// The program's entry point, on top of everything it composes: one
// instance per logon session, then the main window and its message loop.
#include <windows.h>

#include "app/crash_dump.h"
#include "app/debug_log.h"
#include "app/dll_search.h"
#include "app/instance.h"
#include "base/thread_start.h"
#include "base/unique_resource.h"
#include "ui/kit/toolkit_process.h"
#include "ui/main/main_window.h"

namespace {

// Wine gives the desktop's owner process ten seconds to come up; once it
// is up, it answers at once.
constexpr DWORD kDesktopAnswerMs = 20000;

// Under Wine a process joins its desktop on its first window call (here
// OleInitialize, which registers a window class): Wine starts the desktop's
// owner process (explorer.exe /desktop) if there is none, waits up to ten
// seconds for it, then sends its desktop window a message and waits for the
// answer without a limit. A desktop process that hangs, or stops half-way
// because the wineserver is ending, would keep this start alive for ever
// without a window. A thread of its own makes that first call; this one
// waits for it a bounded time. On Windows the call returns at once.
bool DesktopAnswers()
{
    UniqueHandle joining = StartThread(L"desktop", [] { GetDesktopWindow(); });
    return !joining || WaitForSingleObject(joining.get(), kDesktopAnswerMs) == WAIT_OBJECT_0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    // Before anything loads a DLL that is not on Windows' KnownDLLs list:
    // the crash handler's dbghelp, GDI+, WinINet.
    RestrictDllSearch();
    InstallCrashDumpHandler();
    if (!DesktopAnswers()) {
        DebugLog log;
        log.Open();
        log.Write("GetDesktopWindow [no answer]");
        // Not a return: ending normally would wait for the thread still
        // stuck inside the window system.
        TerminateProcess(GetCurrentProcess(), kExitNoWindow);
    }
    StartToolkit();
    if (!TakeInstanceMutex()) {
        // This start has the foreground (the player just launched it);
        // Windows lets the running instance come to the front only when it
        // is handed over first.
        AllowSetForegroundWindow(ASFW_ANY);
        // Posted, so a hung window cannot keep this process alive.
        PostMessageA(HWND_BROADCAST, ActivateMessage, 0, 0);
        return 0;
    }
    // The folder dialog and the client's launch run on this thread and want
    // COM; the dialog's newer forms want OLE.
    UniqueOleThread ole = EnterOle();
    {
        MainWindow window;
        // Under Wine the first window fails when the desktop's owner process
        // was not up within Wine's ten seconds: Wine then makes the desktop
        // window itself and leaves the process without a display driver, so
        // none of its windows can be made. Waiting in the loop would hold
        // the desktop and the instance mutex for ever, every later start
        // handing over to a window nobody sees; ending frees both.
        if (!window.GetHwnd())
            return kExitNoWindow;
        RunMessageLoop();
    }
    return 0;
}
