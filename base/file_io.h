// Small file helpers shared by the download, the extraction and the log.
#pragma once

#include <windows.h>

// Writes all `size` bytes; false when the call fails or writes fewer.
bool WriteAll(HANDLE file, const void* data, DWORD size);
