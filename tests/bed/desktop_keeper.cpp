// Keeps the test prefix's desktop alive for the whole run.
//   desktop_keeper.exe READY_FILE
// Wine starts the desktop's owner process with the standard streams of the
// first program that needs the desktop, and ends it a second after the last
// other program left. Started by the test bed with its streams on /dev/null,
// this program is that first one and stays: otherwise a test started after
// a quiet moment would hand its output pipe to the desktop process, and the
// test runner would wait for that pipe until every later test had ended.
#include <windows.h>

int main(int argc, char** argv)
{
    // Waits until the desktop window exists, its owner started.
    if (!GetDesktopWindow() || argc < 2)
        return 1;
    HANDLE ready = CreateFileA(argv[1], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (ready == INVALID_HANDLE_VALUE)
        return 1;
    // The test bed ends this process by its id; nothing here is closed.
    for (;;)
        Sleep(INFINITE);
}
