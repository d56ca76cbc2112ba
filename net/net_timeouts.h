// The time-outs every request of the program runs under, so that a host
// that accepts and never answers costs seconds, not minutes.
#pragma once

#include <windows.h>

constexpr DWORD kNetTimeoutMs = 5000;

// Connect, send and receive time-outs of kNetTimeoutMs on an Internet or a
// connection handle, and a single connection attempt (WinINet otherwise
// tries a host several times). Wine's requests take the time-outs from the
// connection handle and ignore the Internet handle's: set them on both.
void SetNetTimeouts(void* handle);
