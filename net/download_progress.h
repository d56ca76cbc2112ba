// The figures of the running download, written by the downloading thread's
// progress calls and read by the window's timer without a lock.
#pragma once

#include <windows.h>

#include <atomic>

struct DownloadProgress {
    std::atomic<DWORD> bytesDone{0};
    std::atomic<DWORD> bytesTotal{1};  // 1, not 0: the percentage divides by it
    std::atomic<DWORD> elapsedMs{1};   // likewise the rate
    std::atomic<ULONGLONG> receivedBytes{0};

    // The copy an OnProgress override makes: low halves of total and offset.
    void Record(DWORD elapsed, ULONGLONG received, ULONGLONG total, ULONGLONG offset)
    {
        bytesDone.store(static_cast<DWORD>(offset), std::memory_order_relaxed);
        bytesTotal.store(static_cast<DWORD>(total), std::memory_order_relaxed);
        elapsedMs.store(elapsed, std::memory_order_relaxed);
        receivedBytes.store(received, std::memory_order_relaxed);
    }
};
