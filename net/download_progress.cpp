#include "net/download_progress.h"

namespace {

constexpr auto kRelaxed = std::memory_order_relaxed;

void Store(std::atomic<uint32_t>& low, std::atomic<uint32_t>& high, uint64_t value)
{
    low.store(static_cast<uint32_t>(value), kRelaxed);
    high.store(static_cast<uint32_t>(value >> 32), kRelaxed);
}

uint64_t Load(const std::atomic<uint32_t>& low, const std::atomic<uint32_t>& high)
{
    return static_cast<uint64_t>(high.load(kRelaxed)) << 32 | low.load(kRelaxed);
}

}  // namespace

void DownloadProgress::Record(uint32_t elapsedMs, uint64_t received, uint64_t total, uint64_t done)
{
    Write({done, total, elapsedMs, received});
}

void DownloadProgress::ResetReceived()
{
    // The only writer reads its own last report.
    ProgressFigures figures = Snapshot();
    figures.received = 0;
    Write(figures);
}

void DownloadProgress::Write(const ProgressFigures& figures)
{
    uint32_t sequence = sequence_.load(kRelaxed);
    sequence_.store(sequence + 1, kRelaxed);
    std::atomic_thread_fence(std::memory_order_release);
    Store(doneLow_, doneHigh_, figures.done);
    Store(totalLow_, totalHigh_, figures.total);
    elapsedMs_.store(figures.elapsedMs, kRelaxed);
    Store(receivedLow_, receivedHigh_, figures.received);
    sequence_.store(sequence + 2, std::memory_order_release);
}

ProgressFigures DownloadProgress::Snapshot() const
{
    for (;;) {
        uint32_t before = sequence_.load(std::memory_order_acquire);
        ProgressFigures figures;
        figures.done = Load(doneLow_, doneHigh_);
        figures.total = Load(totalLow_, totalHigh_);
        figures.elapsedMs = elapsedMs_.load(kRelaxed);
        figures.received = Load(receivedLow_, receivedHigh_);
        std::atomic_thread_fence(std::memory_order_acquire);
        if (!(before & 1) && sequence_.load(kRelaxed) == before)
            return figures;
    }
}
