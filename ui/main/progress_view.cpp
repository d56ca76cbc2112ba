#include "ui/main/progress_view.h"

#include "install/size_text.h"

namespace {

constexpr int kRunnerCells = 18;

}  // namespace

std::wstring SpeedText(uint64_t receivedBytes, uint32_t elapsedMs)
{
    uint64_t bytesPerSecond = receivedBytes / (elapsedMs ? elapsedMs : 1) * 1000;
    uint64_t kilo = bytesPerSecond >> 10;
    std::wstring number = kilo >= 1024 ? std::to_wstring(kilo >> 10) + L"M/S" : std::to_wstring(kilo) + L"K/S";
    return L"当前下载速度：" + number;
}

ProgressView MakeProgressView(const ProgressFigures& figures)
{
    // Single precision as the display has always computed it; the rounded
    // reciprocal can leave a finished download at 99 % until the worker
    // writes 100 %.
    float doneK = Kilobytes(figures.done);
    float totalK = Kilobytes(figures.total ? figures.total : 1);
    float ratio = 1.0f / totalK;
    float width = ratio * doneK * kFillFullWidth;

    ProgressView view;
    view.sizeText = FormatSizeText(figures.done, figures.total);
    view.speedText = SpeedText(figures.received, figures.elapsedMs);
    view.percentText = std::to_wstring(static_cast<int>(ratio * doneK * 100.0f)) + L"%";
    view.fillWidth = width < 0.0f ? 0 : width > kFillFullWidth ? kFillFullWidth : static_cast<int>(width);
    return view;
}

int NextRunnerCell(int cell)
{
    int next = cell + 1;
    return next >= kRunnerCells ? 1 : next;
}
