// Entry names made safe for writing below a base directory, in UTF-16.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// Strips a drive prefix, leading separators and everything up to a
// "\..\"-style sequence, again and again until none of them is left.
std::wstring MakeSafeEntryName(std::wstring_view stored);

// The path, relative to a base directory, that the entry `name` is written
// to. Long paths skip Win32's own normalisation, so it happens here, the
// way Win32 would do it: '/' becomes '\', trailing dots and spaces leave
// every component, components left empty go, and a name that ends in a
// separator (or whose last component went) keeps one '\' at its end.
// Empty when the name must not be used: it starts with a separator, holds a
// ':' (a drive or a stream), or has a component that Windows reads as a
// parent (".." and its dot and space variants) or as a device.
std::optional<std::wstring> TargetBelowBase(std::wstring_view name);

// CON, PRN, AUX, NUL, COM1-9 and LPT1-9, in any case, with or without an
// extension: the ANSI file functions open the device for them.
bool IsReservedDeviceName(std::wstring_view component);

// `path` without separators at its end; a drive root ("C:\") and a lone
// separator keep theirs.
std::wstring_view WithoutTrailingSeparators(std::wstring_view path);

// Offset just past the last '/' or '\' of `path`; 0 when it has none.
size_t FilePartOffset(std::wstring_view path);
