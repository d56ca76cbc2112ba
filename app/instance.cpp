#include "app/instance.h"

const UINT ActivateMessage = RegisterWindowMessageA("{88899063-CFEA-492b-93E3-51F14B34CE70}");

bool TakeInstanceMutex()
{
    // No "Global\" prefix: the rule holds per logon session. The handle is
    // never closed; the system drops it with the process.
    CreateMutexA(nullptr, FALSE, "{8B8E8CAC-C0B5-4588-94E6-31E3C6DD5535}");
    return GetLastError() != ERROR_ALREADY_EXISTS;
}
