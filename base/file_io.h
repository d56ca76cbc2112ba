// Small file helpers shared by the download, the extraction and the log.
#pragma once

#include <windows.h>

// Writes all `size` bytes, over as many calls as it takes; false when a
// call fails (its error stays the last error) or writes nothing.
bool WriteAll(HANDLE file, const void* data, DWORD size);

// Deletes a file this program has just written and closed. On Windows,
// scanners and indexers open such a file at once, and a delete meanwhile
// fails with a sharing violation (Wine runs none, so no test shows it): a
// few tries within a second. False when it is still there.
bool DeleteJustWritten(const wchar_t* path);
