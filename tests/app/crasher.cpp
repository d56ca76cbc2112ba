// Test peer: installs the crash handler, then faults in a worker thread.
#include <windows.h>

#include "app/crash_dump.h"

namespace {

DWORD WINAPI Fault(void*)
{
    *static_cast<volatile int*>(nullptr) = 1;
    return 0;
}

}  // namespace

int main()
{
    InstallCrashDumpHandler();
    HANDLE thread = CreateThread(nullptr, 0, Fault, nullptr, 0, nullptr);
    WaitForSingleObject(thread, INFINITE);
    return 3;  // not reached: the fault ends the process
}
