// Where the process takes its DLLs from: the system folder only.
//
// The installer runs elevated, started from the player's Downloads folder,
// where anyone can drop a DLL, and Windows searches the program's own folder
// first for any DLL that is not on its KnownDLLs list. The imports that are
// not KnownDLLs are delay-loaded (cmake/delay_load.cmake); this file makes
// them, and every later load of the process, come from the system folder.
#pragma once

// The entry point's first call, before anything loads such a DLL.
void RestrictDllSearch();
