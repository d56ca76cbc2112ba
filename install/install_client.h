// The HTTP client an install worker downloads with: it keeps every
// progress report in the window's progress record, stops at its pause gate
// between chunks, and tells the window when a statistics report is under
// way. The main window is one.
#pragma once

#include <windows.h>

#include <string>

#include "base/unique_resource.h"
#include "install/pause_gate.h"
#include "net/download_progress.h"
#include "net/http_downloader.h"

// How long the end of the process waits for a report under way.
constexpr DWORD kReportGraceMs = 5000;

class InstallClient : public HttpDownloader {
public:
    InstallClient();

    void OnProgress(HANDLE file, int status, DWORD elapsedMs, ULONGLONG receivedBytes, ULONGLONG totalBytes,
                    ULONGLONG offset, LONG userValue) override;

    DownloadProgress& progress() { return progress_; }
    PauseGate& gate() { return gate_; }

    // Any thread, for good: the running worker ends at its next chunk,
    // checkpoint or rest.
    void Stop();

    // Held by the worker while it sends a statistics report.
    class ReportUnderWay {
    public:
        explicit ReportUnderWay(InstallClient& client);
        ~ReportUnderWay();
        ReportUnderWay(const ReportUnderWay&) = delete;
        ReportUnderWay& operator=(const ReportUnderWay&) = delete;

    private:
        InstallClient& client_;
    };
    // Any thread: waits until no report is under way, at most `ms`.
    void WaitForReport(DWORD ms) const;

    // The archive a worker of this process completed. A later worker whose
    // file still has this size and write time knows it complete without
    // asking the server again. Only workers use it, one after the other.
    struct ArchiveMark {
        std::wstring path;
        ULONGLONG size = 0;
        FILETIME written = {};
    };
    ArchiveMark completedArchive;

private:
    DownloadProgress progress_;
    PauseGate gate_;
    UniqueHandle noReport_;  // manual-reset event, set while no report is under way
};
