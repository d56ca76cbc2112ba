// The file an entry is written to: created (with its folders when they are
// missing), told apart when it cannot be, and removed again when its data
// turns out bad. Paths are long paths (archive/long_path.h).
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "base/unique_resource.h"

// Creates `path` for writing with `attributes`, making its missing folders
// below its first `rootLength` characters (which exist). On failure the
// file is invalid and `*failure` holds the result code:
// ARCHIVE_CANNOT_CREATE_FILE only when the file exists and someone holds it
// (the installed client is running), ARCHIVE_WRITE_FAILED for every other
// refusal of the destination.
UniqueFile CreateTargetFile(const std::wstring& path, size_t rootLength, DWORD attributes, uint32_t* failure);

// Closes and deletes a file whose entry failed after it was created, so
// that no half-written or corrupt file stays under the entry's name. The
// thread's last error is kept.
void DiscardTargetFile(UniqueFile file, const std::wstring& path);
