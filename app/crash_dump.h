// Writes "crash.dat" beside the executable when an exception reaches the
// top of any thread.
#pragma once

#include <windows.h>

int InstallCrashDumpHandler();
LONG WINAPI CrashDumpFilter(EXCEPTION_POINTERS* exceptionPointers);
