// The transferred and total size as the window shows it.
#pragma once

#include <cstdint>
#include <string>

// Kilobytes in the single precision every display of the window has always
// computed them in (a multiplication by the rounded 1/1024).
float Kilobytes(uint64_t bytes);

// "%.02fM/%.02fM": megabytes of 1048576 bytes with two decimals, computed
// in single precision from the full 64-bit figures.
std::wstring FormatSizeText(uint64_t done, uint64_t total);
