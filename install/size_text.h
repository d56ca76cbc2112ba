// The transferred and total size as the window shows it.
#pragma once

#include <cstdint>
#include <string>

// "%.02fM/%.02fM": megabytes of 1048576 bytes with two decimals, computed
// in single precision from the full 64-bit figures.
std::wstring FormatSizeText(uint64_t done, uint64_t total);
