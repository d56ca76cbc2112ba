#include "base/ansi_text.h"

#include <windows.h>

std::string ToAnsi(const wchar_t* text)
{
    int size = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 1)
        return {};
    std::string out(size, '\0');
    WideCharToMultiByte(CP_ACP, 0, text, -1, out.data(), size, nullptr, nullptr);
    out.resize(size - 1);
    return out;
}

std::wstring ToWide(const char* text)
{
    int size = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    if (size <= 1)
        return {};
    std::wstring out(size, L'\0');
    MultiByteToWideChar(CP_ACP, 0, text, -1, out.data(), size);
    out.resize(size - 1);
    return out;
}

bool IsAnsiLeadByte(unsigned char byte)
{
    return IsDBCSLeadByte(byte) != 0;
}

bool ToAnsiExactly(std::wstring_view text, std::string* ansi)
{
    ansi->clear();
    if (text.empty())
        return true;
    int length = static_cast<int>(text.size());
    BOOL usedDefault = FALSE;
    int size = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), length, nullptr, 0, nullptr,
                                   &usedDefault);
    if (size <= 0 || usedDefault)
        return false;
    ansi->resize(size);
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), length, ansi->data(), size, nullptr,
                        &usedDefault);
    return !usedDefault;
}
