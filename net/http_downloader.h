// The program's one HTTP client: one Internet handle, one connection to one
// server, one current request; and the resumable download of one object
// into a local file.
#pragma once

#include <windows.h>

#include <atomic>
#include <memory>
#include <string>

#include "base/unique_resource.h"
#include "net/arrived_reads.h"

// DownloadFile results. Callers take 0 or more as a complete file.
constexpr int DOWNLOAD_DONE = 0;
constexpr int DOWNLOAD_ALREADY_COMPLETE = 1;
constexpr int DOWNLOAD_REQUEST_FAILED = -1;
constexpr int DOWNLOAD_READ_FAILED = -2;
constexpr int DOWNLOAD_FILE_FAILED = -3;
constexpr int DOWNLOAD_STOPPED = -4;

// Redirects followed by one SendGet before it gives up.
constexpr int kMaxRedirects = 10;
// The most one progress report covers. A read takes what has arrived, up to
// kDownloadReadMax bytes (each call costs about 0.1 ms under Wine: the
// fewer, the faster a fast link goes), and is reported a chunk at a time.
constexpr DWORD kDownloadChunk = 4096;
constexpr DWORD kDownloadReadMax = 1048576;

class HttpDownloader {
public:
    HttpDownloader();
    virtual ~HttpDownloader();
    HttpDownloader(const HttpDownloader&) = delete;
    HttpDownloader& operator=(const HttpDownloader&) = delete;

    // 1 when connected to "host" or "host:port", 0 otherwise.
    int Connect(const char* hostText, const char* userName, const char* password, LONG userValue);
    // 1 when the final answer, after redirects, is 200 or 206.
    int SendGet(const char* objectPath, const char* extraHeaders);
    int QueryContentLength(ULONGLONG* length);
    int QueryLastModified(SYSTEMTIME* stamp);

    // Fetches `objectPath` into `localName`, resuming a partial file of the
    // same version when `resumeFlag` is 1. Returns a DOWNLOAD_ value.
    int DownloadFile(const char* objectPath, const char* localName, int resumeFlag);

    // A small object read whole into memory, such as a signature file.
    enum class Fetch {
        Done,     // a 200 answer whose body fits `limit`
        Refused,  // the server answered otherwise, or with a longer body
        Failed,   // no answer, or the body broke off: worth another try
    };
    Fetch FetchSmall(const char* objectPath, size_t limit, std::string* body);

    // Called on the downloading thread: status 1 after each chunk written
    // (offsets grow by at most kDownloadChunk from one call to the next),
    // 0 once when the file was found complete.
    virtual void OnProgress(HANDLE file, int status, DWORD elapsedMs, ULONGLONG receivedBytes,
                            ULONGLONG totalBytes, ULONGLONG offset, LONG userValue);

    // Any value but 0 ends the transfer loop after its current chunk, and
    // the file then ends with that chunk; 1 also makes the result
    // DOWNLOAD_STOPPED. Safe from any thread.
    void SetStopFlag(LONG value) { stopFlag_.store(value); }
    LONG stopFlag() const { return stopFlag_.load(); }

    DWORD elapsedMs() const { return elapsedMs_; }
    ULONGLONG receivedBytes() const { return receivedBytes_; }
    // The downloading thread's own counter; the install worker zeroes it
    // after a run of attempts that brought nothing.
    void SetReceivedBytes(ULONGLONG value) { receivedBytes_ = value; }
    LONG userValue() const { return userValue_; }
    // Status code of the last answer SendGet received; 0 when none came.
    DWORD lastStatus() const { return lastStatus_; }

private:
    int OpenConnection(const char* hostText, const char* userName, const char* password);
    void ResetSession(LONG userValue);
    int SendOnce(const char* objectPath, const char* extraHeaders);
    int QueryHeaderText(DWORD query, char* text, DWORD size);
    int Resume(const char* objectPath, HANDLE file, ULONGLONG have);
    int Transfer(HANDLE file, ULONGLONG total, ULONGLONG offset, const FILETIME& stamp);
    bool ReportChunks(HANDLE file, ULONGLONG total, ULONGLONG received, ULONGLONG* offset, DWORD got);

    // Before the handles: their notices reach it until they are closed.
    RequestCompletion completion_;
    UniqueInternet internet_;
    UniqueInternet connection_;
    UniqueInternet request_;
    std::unique_ptr<char[]> readBuffer_;  // kDownloadReadMax bytes, once a transfer needs it
    char hostText_[264] = {};  // where the connection is: host, colon, port
    char homeHost_[264] = {};  // where the caller's Connect pointed it
    std::atomic<LONG> stopFlag_{0};
    LONG userValue_ = 0;
    DWORD elapsedMs_ = 1;
    ULONGLONG receivedBytes_ = 0;
    DWORD lastStatus_ = 0;
};
