// Creation of a folder and whichever of its parents are missing.
#pragma once

#include <cstddef>
#include <string_view>

// Makes the folder `path` (a long path; trailing separators are ignored)
// and its missing parents, none of them within its first `rootLength`
// characters, which must exist already. True when the folder exists as a
// folder at the end; otherwise the thread's last error says why.
bool MakeDirectoryPath(std::wstring_view path, size_t rootLength);
