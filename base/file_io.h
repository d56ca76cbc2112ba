// Small file helpers shared by the download, the extraction and the log.
#pragma once

#include <windows.h>

// Writes all `size` bytes, over as many calls as it takes; false when a
// call fails (its error stays the last error) or writes nothing.
bool WriteAll(HANDLE file, const void* data, DWORD size);
