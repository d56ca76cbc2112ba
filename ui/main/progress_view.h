// What the window shows of a running download, from the figures of one
// progress report. Plain functions.
#pragma once

#include <cstdint>
#include <string>

#include "net/download_progress.h"

constexpr int kFillFullWidth = 536;  // width of the fill image

struct ProgressView {
    std::wstring sizeText;     // "1.50M/10.00M"
    std::wstring speedText;    // "当前下载速度：..."
    std::wstring percentText;  // "15%"
    int fillWidth = 0;         // 0..kFillFullWidth
};

ProgressView MakeProgressView(const ProgressFigures& figures);

// Bytes per millisecond times 1000, in KB: "当前下载速度：%dK/S" below
// 1024 KB/s, whole "%dM/S" from there. 64-bit throughout, so fast lines do
// not wrap to 0.
std::wstring SpeedText(uint64_t receivedBytes, uint32_t elapsedMs);

// Runner cells 1..17 in turn; cell 0 only before the first step.
int NextRunnerCell(int cell);
