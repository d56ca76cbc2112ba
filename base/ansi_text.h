// Text in the system's ANSI code page: conversions from and to UTF-16, and
// the lead-byte test that keeps a double-byte character's trail byte (0x5C
// is a valid GBK trail byte) from being read as a separator. Also UTF-8 to
// UTF-16, for the archive names that come so.
#pragma once

#include <string>
#include <string_view>

std::string ToAnsi(const wchar_t* text);
std::wstring ToWide(const char* text);
bool IsAnsiLeadByte(unsigned char byte);

// `text` in the ANSI code page; false for a character the code page cannot
// hold (never a best-fit or default character).
bool ToAnsiExactly(std::wstring_view text, std::string* ansi);
