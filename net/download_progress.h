// The figures of the running download: written by the downloading thread's
// progress calls, read by the window's timer without a lock. One writer; a
// reader always gets the figures of one and the same report.
#pragma once

#include <atomic>
#include <cstdint>

struct ProgressFigures {
    uint64_t done = 0;
    uint64_t total = 1;      // 1, not 0: the percentage divides by it
    uint32_t elapsedMs = 1;  // likewise the rate
    uint64_t received = 0;
};

class DownloadProgress {
public:
    // Writer side (the downloading thread only).
    void Record(uint32_t elapsedMs, uint64_t received, uint64_t total, uint64_t done);
    void ResetReceived();

    // Any thread.
    ProgressFigures Snapshot() const;

private:
    void Write(const ProgressFigures& figures);

    // A sequence lock: odd while a report is being written. 64-bit figures
    // are kept as 32-bit halves, plain word stores on every target; the
    // sequence check catches halves of two different reports.
    std::atomic<uint32_t> sequence_{0};
    std::atomic<uint32_t> doneLow_{0}, doneHigh_{0};
    std::atomic<uint32_t> totalLow_{1}, totalHigh_{0};
    std::atomic<uint32_t> elapsedMs_{1};
    std::atomic<uint32_t> receivedLow_{0}, receivedHigh_{0};
};
