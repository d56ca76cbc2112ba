// The file an entry is written to: created (with its folders when they are
// missing), told apart when it cannot be, and removed again when its data
// turns out bad.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "base/unique_resource.h"

// Creates `path` for writing with `attributes`, making the folders of
// `directory` below `root` (null: `directory` is rooted itself) when they
// are missing. On failure the file is invalid and `*failure` holds the
// result code: ARCHIVE_CANNOT_CREATE_FILE only when the file exists and
// someone holds it open (the installed client is running), ARCHIVE_CORRUPT
// for every other name this system cannot create.
UniqueFile CreateTargetFile(const std::string& path, DWORD attributes, const char* root,
                            const std::string& directory, uint32_t* failure);

// Closes and deletes a file whose entry failed after it was created, so
// that no half-written or corrupt file stays under the entry's name. The
// thread's last error is kept.
void DiscardTargetFile(UniqueFile file, const std::string& path);
