// One installer per logon session.
#pragma once

#include <windows.h>

// Registered before WinMain runs; sent by a second instance and by the
// install worker on success.
extern const UINT ActivateMessage;

// The exit code of a start that could make no window.
constexpr int kExitNoWindow = 3;

// Takes the session's instance mutex; false when another instance holds it.
// The handle is deliberately kept open for the life of the process.
bool TakeInstanceMutex();
