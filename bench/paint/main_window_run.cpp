// The paint figures of the installer's real main window: the 100-ms
// progress refresh (timer 99 with the runner shown, as during a download)
// and a full compose, in milliseconds.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "install/install_protocol.h"
#include "ui/main/main_window.h"

namespace {

constexpr int kRounds = 300;
constexpr int kWarmUp = 20;

double Now()
{
    LARGE_INTEGER frequency, now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() / 2];
}

}  // namespace

int RunOnMainWindow()
{
    MainWindow window;
    HWND hwnd = window.GetHwnd();
    // As during a download: the runner shows and moves with the fill.
    window.workerUpdates()->Push({WorkerRequest::Visible, ELEMENT_RUNNER, 1, {}});
    SendMessageW(hwnd, MSG_WORKER_QUEUE, 0, 0);
    UpdateWindow(hwnd);

    const uint64_t total = 300ull << 20;
    std::vector<double> progress, animation, full;
    for (int round = 0; round < kRounds + kWarmUp; ++round) {
        uint64_t done = total * (round % kRounds + 1) / kRounds;
        window.progress().Record(1000 + round * 100, done, total, done);
        double start = Now();
        window.OnTimer(TIMER_PROGRESS);
        UpdateWindow(hwnd);
        double tick = Now() - start;

        start = Now();
        window.OnTimer(TIMER_ANIMATION);
        UpdateWindow(hwnd);
        double step = Now() - start;

        InvalidateRect(hwnd, nullptr, FALSE);
        start = Now();
        UpdateWindow(hwnd);
        double whole = Now() - start;
        if (round >= kWarmUp) {
            progress.push_back(tick);
            animation.push_back(step);
            full.push_back(whole);
        }
    }
    std::printf("paint bench: the main window, %d rounds\n", kRounds);
    std::printf("progress refresh (timer 99 and its WM_PAINT): median %.3f ms\n", Median(progress));
    std::printf("runner step (timer 112 and its WM_PAINT): median %.3f ms\n", Median(animation));
    std::printf("full 600x350 compose and copy to the window (WM_PAINT): median %.3f ms\n", Median(full));
    return 0;
}
