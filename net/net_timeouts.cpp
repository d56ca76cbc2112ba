#include "net/net_timeouts.h"

#include <wininet.h>

void SetNetTimeouts(void* handle)
{
    DWORD timeout = kNetTimeoutMs;
    InternetSetOptionA(handle, INTERNET_OPTION_CONNECT_TIMEOUT, &timeout, sizeof timeout);
    InternetSetOptionA(handle, INTERNET_OPTION_SEND_TIMEOUT, &timeout, sizeof timeout);
    InternetSetOptionA(handle, INTERNET_OPTION_RECEIVE_TIMEOUT, &timeout, sizeof timeout);
    DWORD once = 1;
    InternetSetOptionA(handle, INTERNET_OPTION_CONNECT_RETRIES, &once, sizeof once);
}
