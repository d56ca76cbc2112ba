// The registry value in which the installer records its share number.
#pragma once

#include <windows.h>

#include <string>

// The value as stored, "absent" when missing. The program hands
// RegSetValueExA the digits without their NUL, but the system counts a NUL
// that directly follows the data (NT does so, and Wine copies it), so one
// trailing terminator is dropped here and any other byte is kept. `type`
// may be null.
std::wstring ReadShareValue(DWORD* type = nullptr);
void DeleteShareKey();
