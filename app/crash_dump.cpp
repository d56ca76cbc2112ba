#include "app/crash_dump.h"

#include <dbghelp.h>

#include <cstring>

#include "base/system_library.h"
#include "base/unique_resource.h"

namespace {

using MiniDumpWriteDumpFn = BOOL(WINAPI*)(HANDLE, DWORD, HANDLE, MINIDUMP_TYPE,
                                          PMINIDUMP_EXCEPTION_INFORMATION,
                                          PMINIDUMP_USER_STREAM_INFORMATION,
                                          PMINIDUMP_CALLBACK_INFORMATION);

// Looked up at run time so a system without dbghelp still starts.
MiniDumpWriteDumpFn miniDumpWriteDump;

}  // namespace

int InstallCrashDumpHandler()
{
    // Kept for the rest of the process: the filter may run until its end.
    HMODULE dbghelp = LoadSystemLibrary(L"dbghelp.dll").release();
    if (!dbghelp)
        return 0;
    miniDumpWriteDump = reinterpret_cast<MiniDumpWriteDumpFn>(
        reinterpret_cast<void*>(GetProcAddress(dbghelp, "MiniDumpWriteDump")));
    if (!miniDumpWriteDump)
        return 0;
    SetUnhandledExceptionFilter(CrashDumpFilter);
    return 1;
}

// Runs on the faulting thread in whatever state the fault left: stack and
// system calls only.
LONG WINAPI CrashDumpFilter(EXCEPTION_POINTERS* exceptionPointers)
{
    static const char kName[] = "\\crash.dat";
    char path[MAX_PATH + sizeof kName] = {};
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    char* slash = strrchr(path, '\\');
    if (length == 0 || !slash)
        return EXCEPTION_CONTINUE_SEARCH;
    memcpy(slash, kName, sizeof kName);

    UniqueFile file(CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return EXCEPTION_CONTINUE_SEARCH;

    MINIDUMP_EXCEPTION_INFORMATION info;
    info.ThreadId = GetCurrentThreadId();
    info.ExceptionPointers = exceptionPointers;
    info.ClientPointers = TRUE;
    miniDumpWriteDump(GetCurrentProcess(), GetCurrentProcessId(), file.get(), MiniDumpNormal, &info,
                      nullptr, nullptr);
    return EXCEPTION_CONTINUE_SEARCH;
}
