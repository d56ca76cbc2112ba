// The HTTP client an install worker downloads with: it keeps every
// progress report in the window's progress record and stops at its pause
// gate between chunks. The main window is one.
#pragma once

#include "install/pause_gate.h"
#include "net/download_progress.h"
#include "net/http_downloader.h"

class InstallClient : public HttpDownloader {
public:
    void OnProgress(HANDLE file, int status, DWORD elapsedMs, ULONGLONG receivedBytes, ULONGLONG totalBytes,
                    ULONGLONG offset, LONG userValue) override;

    DownloadProgress& progress() { return progress_; }
    PauseGate& gate() { return gate_; }

private:
    DownloadProgress progress_;
    PauseGate gate_;
};
