#include "app/dll_search.h"

#include <windows.h>

#include <delayimp.h>

#include "base/system_library.h"

namespace {

// A delay-loaded DLL or function that cannot be had: the program cannot go
// on, and the runtime's default (an exception with a code of the runtime's
// own, then the crash dump) would tell the player nothing. Says what is
// missing and ends. TerminateProcess rather than ExitProcess: this may run on
// any thread, and the DLL detach calls of ExitProcess could wait for a lock
// that another thread holds.
[[noreturn]] void EndForMissingImport(const DelayLoadInfo& info, DWORD error)
{
    wchar_t function[32];
    if (info.dlp.fImportByName)
        wsprintfW(function, L"%.28hs", info.dlp.szProcName);
    else
        wsprintfW(function, L"#%lu", info.dlp.dwOrdinal);
    wchar_t text[256];
    wsprintfW(text, L"无法载入系统文件 %.64hs 中的 %ls（错误 %lu），安装程序将退出。", info.szDll, function, error);
    MessageBoxW(nullptr, text, nullptr, MB_OK | MB_ICONERROR);
    TerminateProcess(GetCurrentProcess(), error);
    ExitProcess(error);  // not reached
}

// Loads the DLL itself, from the system folder, instead of the runtime's
// LoadLibrary by bare name: that would search the program's folder first
// where SetDefaultDllDirectories is missing (Windows 7 without its update).
FARPROC WINAPI DelayLoadNotify(unsigned notification, PDelayLoadInfo info)
{
    if (notification != dliNotePreLoadLibrary)
        return nullptr;
    wchar_t name[MAX_PATH];
    int length = MultiByteToWideChar(CP_ACP, 0, info->szDll, -1, name, MAX_PATH);
    UniqueModule module = length > 0 ? LoadSystemLibrary(name) : UniqueModule();
    // Returning nothing would send the runtime to its own LoadLibrary.
    if (!module)
        EndForMissingImport(*info, GetLastError());
    // The runtime keeps it for the rest of the process.
    return reinterpret_cast<FARPROC>(module.release());
}

// Only a missing function gets here: a DLL that failed to load ended the
// process in DelayLoadNotify.
FARPROC WINAPI DelayLoadFailure(unsigned, PDelayLoadInfo info)
{
    EndForMissingImport(*info, info->dwLastError);
}

}  // namespace

// The runtime's delay-load helper (mingw-w64's libmingwex) reads these two
// hooks. Defined here, in the object that the entry point's call pulls in,
// they replace the runtime's empty ones and are in force from the process's
// start, before any static initialiser.
PfnDliHook __pfnDliNotifyHook2 = DelayLoadNotify;
PfnDliHook __pfnDliFailureHook2 = DelayLoadFailure;

void RestrictDllSearch()
{
    // Looked up: Windows 7 has it only with its loader update (KB2533623),
    // and an import of it would keep the program from starting there.
    using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
    auto setDefaultDllDirectories = reinterpret_cast<SetDefaultDllDirectoriesFn>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories")));
    if (setDefaultDllDirectories && setDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32))
        return;
    // Without it the current folder at least leaves the search; the
    // program's own loads name the system folder (LoadSystemLibrary).
    SetDllDirectoryW(L"");
}
