#include "base/utf8_text.h"

#include <windows.h>

std::string ToUtf8(std::wstring_view text)
{
    if (text.empty())
        return {};
    int length = static_cast<int>(text.size());
    int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    if (size <= 0)
        return {};
    std::string out(size, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), length, out.data(), size, nullptr, nullptr);
    return out;
}

bool FromUtf8(std::string_view utf8, std::wstring* text)
{
    text->clear();
    if (utf8.empty())
        return true;
    int length = static_cast<int>(utf8.size());
    int size = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), length, nullptr, 0);
    if (size <= 0)
        return false;
    text->resize(size);
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), length, text->data(), size);
    return true;
}
