// How a test drives the worker host's window.
#pragma once

#include <windows.h>

constexpr UINT MSG_HOST_PAUSE = WM_APP + 0x301;
constexpr UINT MSG_HOST_CONTINUE = WM_APP + 0x302;
