// Conversions between UTF-16 and the system's ANSI code page.
#pragma once

#include <string>

std::string ToAnsi(const wchar_t* text);
std::wstring ToWide(const char* text);
