// Entry names made safe for writing below a base directory. Names are bytes
// in the system's ANSI code page; the lead-byte test keeps the trail byte of
// a double-byte character (0x5C is a valid GBK trail byte) from being taken
// for a path separator.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

using LeadByteTest = bool (*)(unsigned char);

// Strips a drive prefix, leading separators and everything up to a
// "\..\"-style sequence, again and again until none of them is left.
std::string MakeSafeEntryName(std::string_view stored, LeadByteTest isLead);

// True when `name`, taken relative to a directory, names something in it or
// below it: no leading separator, no ':', and no component that Windows
// could read as ".." (it drops trailing dots and spaces, so ". ." and
// ".. " count too).
bool StaysBelowBase(std::string_view name, LeadByteTest isLead);

// `path` without separators at its end; a drive root ("C:\") and a lone
// separator keep theirs.
std::string_view WithoutTrailingSeparators(std::string_view path, LeadByteTest isLead);

// Offset just past the last '/' or '\' of `path`; 0 when it has none.
size_t FilePartOffset(std::string_view path, LeadByteTest isLead);
