/* A stand-in for a system DLL, planted beside a program under test under a
   system DLL's name (tests/support/planted_dlls.h). Loaded, it leaves
   "<its own file name>.loaded" beside itself; it exports nothing, so a
   program that got it for a real import would fail at its first call. The
   marker's handle is left to the process's end: one file, no CRT. */
#include <windows.h>

BOOL WINAPI StandInEntry(HINSTANCE module, DWORD reason, void* reserved)
{
    (void)reserved;
    if (reason != DLL_PROCESS_ATTACH)
        return TRUE;
    wchar_t path[MAX_PATH + 8];
    DWORD length = GetModuleFileNameW(module, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return TRUE;
    lstrcpyW(path + length, L".loaded");
    CreateFileW(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                NULL);
    return TRUE;
}
