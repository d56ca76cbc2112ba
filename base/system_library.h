// DLLs the program loads at run time, always from the system folder.
#pragma once

#include <windows.h>

// `name` (a plain file name such as L"comctl32.dll") from the system folder
// only, never from beside the executable or the current folder: an elevated
// installer started from a downloads folder would load a DLL planted there.
// Null when it cannot be loaded. The module stays loaded for the process.
HMODULE LoadSystemLibrary(const wchar_t* name);
