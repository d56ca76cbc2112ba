// The program's entry point, on top of everything it composes: one
// instance per logon session, then the main window and its message loop.
#include <windows.h>

#include "app/crash_dump.h"
#include "app/dll_search.h"
#include "app/instance.h"
#include "base/unique_resource.h"
#include "ui/kit/toolkit_process.h"
#include "ui/main/main_window.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    // Before anything loads a DLL that is not on Windows' KnownDLLs list:
    // the crash handler's dbghelp, GDI+, WinINet.
    RestrictDllSearch();
    InstallCrashDumpHandler();
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
        RunMessageLoop();
    }
    return 0;
}
