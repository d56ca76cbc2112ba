#include "ui/banner/banner_address.h"

#include <string>

namespace {

bool IsAsciiLetter(wchar_t c)
{
    return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z');
}

bool IsSchemeCharacter(wchar_t c)
{
    return IsAsciiLetter(c) || (c >= L'0' && c <= L'9') || c == L'+' || c == L'-' || c == L'.';
}

// Lower-case ASCII only: a non-ASCII letter that case-folds into one (the
// Kelvin sign) must not make a scheme.
wchar_t AsciiLower(wchar_t c)
{
    return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}

// The scheme in lower case, empty when there is none.
std::wstring SchemeOf(std::wstring_view url)
{
    size_t begin = 0, end = url.size();
    while (begin < end && url[begin] <= L' ')
        ++begin;
    while (end > begin && url[end - 1] <= L' ')
        --end;
    std::wstring scheme;
    for (size_t i = begin; i < end; ++i) {
        wchar_t c = url[i];
        if (c == L'\t' || c == L'\n' || c == L'\r')
            continue;
        if (c == L':')
            return scheme;
        if (scheme.empty() ? !IsAsciiLetter(c) : !IsSchemeCharacter(c))
            return {};
        scheme += AsciiLower(c);
    }
    return {};
}

}  // namespace

bool BannerMayOpen(std::wstring_view url)
{
    std::wstring scheme = SchemeOf(url);
    return scheme == L"http" || scheme == L"https" || scheme == L"about" || scheme == L"javascript";
}
