// The program's entry point, on top of everything it composes: one
// instance per logon session, then the main window and its message loop.
#include <windows.h>

#include "app/crash_dump.h"
#include "app/instance.h"
#include "ui/main/main_window.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    InstallCrashDumpHandler();
    if (!TakeInstanceMutex()) {
        // Hand over to the running instance; posted, so a hung window
        // cannot keep this process alive.
        PostMessageA(HWND_BROADCAST, ActivateMessage, 0, 0);
        return 0;
    }
    {
        MainWindow window;
        RunMessageLoop();
    }
    return 0;
}
