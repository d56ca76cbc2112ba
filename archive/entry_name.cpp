#include "archive/entry_name.h"

#include <array>

namespace {

bool IsSeparator(wchar_t c)
{
    return c == L'/' || c == L'\\';
}

// Applies the first stripping rule that matches; false when none does.
bool StripOnce(std::wstring& name)
{
    if (name.empty())
        return false;
    if (name.size() > 1 && name[1] == L':') {
        name.erase(0, 2);
        return true;
    }
    if (IsSeparator(name[0])) {
        name.erase(0, 1);
        return true;
    }
    static constexpr std::array<std::wstring_view, 4> kParentSequences = {L"\\..\\", L"\\../", L"/../", L"/..\\"};
    for (std::wstring_view pattern : kParentSequences) {
        size_t at = name.find(pattern);
        if (at != std::wstring::npos) {
            name.erase(0, at + pattern.size());
            return true;
        }
    }
    return false;
}

// Win32 drops trailing dots and spaces, so ". ." and ".. " are ".." to it;
// "..." is refused with them rather than made a name of its own.
bool ActsAsParent(std::wstring_view component)
{
    size_t dots = 0;
    for (wchar_t c : component) {
        if (c == L'.')
            ++dots;
        else if (c != L' ')
            return false;
    }
    return dots >= 2;
}

std::wstring_view WithoutTrailingDotsAndSpaces(std::wstring_view component)
{
    size_t end = component.find_last_not_of(L". ");
    return component.substr(0, end == std::wstring_view::npos ? 0 : end + 1);
}

bool EqualsAsciiIgnoringCase(std::wstring_view text, std::wstring_view upper)
{
    if (text.size() != upper.size())
        return false;
    for (size_t i = 0; i < text.size(); ++i) {
        wchar_t c = text[i] >= L'a' && text[i] <= L'z' ? text[i] - (L'a' - L'A') : text[i];
        if (c != upper[i])
            return false;
    }
    return true;
}

// Win32 reads the superscript digits as device numbers too.
bool IsDeviceDigit(wchar_t c)
{
    return (c >= L'1' && c <= L'9') || c == L'\u00B9' || c == L'\u00B2' || c == L'\u00B3';
}

}  // namespace

std::wstring MakeSafeEntryName(std::wstring_view stored)
{
    std::wstring name(stored);
    while (StripOnce(name)) {
    }
    return name;
}

bool IsReservedDeviceName(std::wstring_view component)
{
    // Win32 looks at the part before the first dot, less trailing spaces:
    // "nul", "NUL.txt" and "nul .txt" all name the device.
    std::wstring_view stem = component.substr(0, component.find(L'.'));
    stem = stem.substr(0, stem.find_last_not_of(L' ') + 1);
    for (std::wstring_view device : {L"CON", L"PRN", L"AUX", L"NUL"}) {
        if (EqualsAsciiIgnoringCase(stem, device))
            return true;
    }
    if (stem.size() != 4 || !IsDeviceDigit(stem[3]))
        return false;
    return EqualsAsciiIgnoringCase(stem.substr(0, 3), L"COM") || EqualsAsciiIgnoringCase(stem.substr(0, 3), L"LPT");
}

std::optional<std::wstring> TargetBelowBase(std::wstring_view name)
{
    if (!name.empty() && IsSeparator(name[0]))
        return std::nullopt;
    std::wstring target;
    size_t start = 0;
    for (;;) {
        size_t end = name.find_first_of(L"/\\", start);
        bool last = end == std::wstring_view::npos;
        std::wstring_view component = name.substr(start, last ? std::wstring_view::npos : end - start);
        if (component.find(L':') != std::wstring_view::npos || ActsAsParent(component) ||
            IsReservedDeviceName(component))
            return std::nullopt;
        component = WithoutTrailingDotsAndSpaces(component);
        if (!component.empty()) {
            target += component;
            if (!last)
                target += L'\\';
        }
        if (last)
            return target;
        start = end + 1;
    }
}

size_t FilePartOffset(std::wstring_view path)
{
    size_t last = path.find_last_of(L"/\\");
    return last == std::wstring_view::npos ? 0 : last + 1;
}

std::wstring_view WithoutTrailingSeparators(std::wstring_view path)
{
    size_t end = path.size();
    while (end > 1 && IsSeparator(path[end - 1]) && path[end - 2] != L':')
        --end;
    return path.substr(0, end);
}
