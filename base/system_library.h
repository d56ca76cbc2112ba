// Loading a Windows DLL from the system folder and nowhere else.
//
// The program runs elevated from the player's Downloads folder, where
// anyone can drop a DLL; Windows searches the program's own folder first
// for a name that is not on its KnownDLLs list. Every run-time load of the
// program goes through here.
#pragma once

#include "base/unique_resource.h"

// `name` is a bare file name such as L"dbghelp.dll". Empty on failure, with
// the error in GetLastError().
UniqueModule LoadSystemLibrary(const wchar_t* name);
