#include "install/size_text.h"

#include <cstdio>

float Kilobytes(uint64_t bytes)
{
    constexpr float kPerKilo = 1.0f / 1024.0f;
    return static_cast<float>(bytes) * kPerKilo;
}

std::wstring FormatSizeText(uint64_t done, uint64_t total)
{
    float doneK = Kilobytes(done);
    float totalK = Kilobytes(total);
    char text[64];
    int length = snprintf(text, sizeof text, "%.02fM/%.02fM", doneK / 1024.0f, totalK / 1024.0f);
    if (length < 0 || static_cast<size_t>(length) >= sizeof text)
        return {};
    return std::wstring(text, text + length);
}
