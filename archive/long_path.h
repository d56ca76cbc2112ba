// Paths in the form the wide file functions take beyond 259 characters.
// A "\\?\" path reaches the file system as it is written: Win32 neither
// shortens it nor turns '/' into '\', drops "." and "..", trims trailing
// dots and spaces, nor maps device names. Whoever builds one does that.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The longest path the long form allows, terminator included.
constexpr size_t kLongPathLimit = 32767;

// The "\\?\" form of a full path (as GetFullPathNameW gives it):
// "C:\x" becomes "\\?\C:\x", "\\server\share\x" "\\?\UNC\server\share\x",
// and a "\\.\" device path its "\\?\" twin; a "\\?\" path stays as it is.
std::wstring ToLongPath(std::wstring_view fullPath);

// The length of the part of a long path that names its volume or share,
// separator included: "\\?\C:\" or "\\?\UNC\server\share\". Folders below
// it can be made; it cannot.
size_t LongPathRootLength(std::wstring_view longPath);
