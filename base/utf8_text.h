// UTF-8 from and to UTF-16, the one conversion every folder shares.
#pragma once

#include <string>
#include <string_view>

std::string ToUtf8(std::wstring_view text);
// False for bytes that are not valid UTF-8; `text` is then empty.
bool FromUtf8(std::string_view utf8, std::wstring* text);
