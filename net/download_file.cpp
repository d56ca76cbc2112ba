#include <windows.h>
#include <wininet.h>
#include <shlobj.h>

#include <cstdio>
#include <cstring>
#include <new>

#include "base/file_io.h"
#include "base/system_time.h"
#include "net/http_downloader.h"
#include "net/http_text.h"

namespace {

bool IsAbsolutePath(const char* name)
{
    return name[0] == '\\' || name[0] == '/' || (name[0] && name[1] == ':');
}

// The folder of the local file and all its parents.
void CreateParentFolders(const char* localName)
{
    char path[4096];
    if (IsAbsolutePath(localName)) {
        if (static_cast<size_t>(snprintf(path, sizeof path, "%s", localName)) >= sizeof path)
            return;
    } else {
        char current[4096];
        DWORD length = GetCurrentDirectoryA(sizeof current, current);
        if (length == 0 || length >= sizeof current)
            return;
        if (static_cast<size_t>(snprintf(path, sizeof path, "%s/%s", current, localName)) >= sizeof path)
            return;
    }
    char* cut = nullptr;
    for (char* p = path; *p; ++p) {
        if (*p == '/')
            *p = '\\';
        if (*p == '\\')
            cut = p;
    }
    if (!cut)
        return;
    *cut = '\0';
    SHCreateDirectoryExA(nullptr, path, nullptr);
}

bool HasStamp(HANDLE file, const SYSTEMTIME& stamp)
{
    FILETIME written;
    SYSTEMTIME local;
    return GetFileTime(file, nullptr, nullptr, &written) && FileTimeToSystemTime(&written, &local) &&
           SameSecond(local, stamp);
}

// A stamp that is no valid time leaves the file's own last-write time.
FILETIME StampTime(const SYSTEMTIME& stamp)
{
    FILETIME written = {};
    SystemTimeToFileTime(&stamp, &written);
    return written;
}

void SetStamp(HANDLE file, const FILETIME& stamp)
{
    if (stamp.dwLowDateTime || stamp.dwHighDateTime)
        SetFileTime(file, nullptr, nullptr, &stamp);
}

bool Truncate(HANDLE file, ULONGLONG offset)
{
    LARGE_INTEGER position;
    position.QuadPart = static_cast<LONGLONG>(offset);
    return SetFilePointerEx(file, position, nullptr, FILE_BEGIN) && SetEndOfFile(file);
}

}  // namespace

int HttpDownloader::DownloadFile(const char* objectPath, const char* localName, int resumeFlag)
{
    // The local file first: an attempt that could not keep a single byte
    // costs the server no request.
    CreateParentFolders(localName);
    // A read-only or hidden partial file must open for writing all the same.
    SetFileAttributesA(localName, FILE_ATTRIBUTE_NORMAL);
    UniqueFile file(CreateFileA(localName, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, 0, nullptr));
    if (!file)
        return DOWNLOAD_FILE_FAILED;
    bool existed = GetLastError() == ERROR_ALREADY_EXISTS;

    SYSTEMTIME serverStamp = {};
    ULONGLONG total = 0;
    if (!SendGet(objectPath, nullptr) || !QueryLastModified(&serverStamp) || !QueryContentLength(&total)) {
        // A failed request leaves no file behind that was not there before.
        if (!existed) {
            file.reset();
            DeleteFileA(localName);
        }
        return DOWNLOAD_REQUEST_FAILED;
    }

    ULONGLONG offset = 0;
    if (existed && HasStamp(file.get(), serverStamp)) {
        LARGE_INTEGER size;
        if (!GetFileSizeEx(file.get(), &size))
            return DOWNLOAD_FILE_FAILED;
        ULONGLONG have = static_cast<ULONGLONG>(size.QuadPart);
        if (have == total) {
            OnProgress(file.get(), 0, elapsedMs_, receivedBytes_, total, have, userValue_);
            return DOWNLOAD_ALREADY_COMPLETE;
        }
        // A file longer than the object cannot be a prefix of it: start over
        // with the answer already at hand.
        if (resumeFlag == 1 && have < total) {
            int resumed = Resume(objectPath, file.get(), have);
            if (resumed < 0)
                return resumed;
            offset = resumed == 1 ? have : 0;
        }
    }

    // Empties a file that is started over, leaves a resumed one as it is.
    if (!Truncate(file.get(), offset))
        return DOWNLOAD_FILE_FAILED;
    FILETIME stamp = StampTime(serverStamp);
    SetStamp(file.get(), stamp);
    int result = Transfer(file.get(), total, offset, stamp);
    // A failed write may have put part of its chunk in the file.
    SetStamp(file.get(), stamp);
    return result;
}

// Sends the ranged request for the bytes after `have`. 1 when the answer
// continues the file there, 0 when the file must start over and the current
// answer carries the whole object, negative on failure.
int HttpDownloader::Resume(const char* objectPath, HANDLE file, ULONGLONG have)
{
    char rangeLine[kRangeLineMax];
    if (!FormatRangeLine(have, rangeLine, sizeof rangeLine))
        return DOWNLOAD_REQUEST_FAILED;
    if (!SendGet(objectPath, rangeLine)) {
        // The server says the local bytes are no prefix of its object: drop
        // them so the next attempt starts over.
        if (lastStatus_ == 416)
            Truncate(file, 0);
        return DOWNLOAD_REQUEST_FAILED;
    }
    if (lastStatus_ == 200)
        return 0;
    char text[kHeaderTextMax];
    uint64_t start = 0;
    if (QueryHeaderText(HTTP_QUERY_CONTENT_RANGE, text, sizeof text) && ParseContentRangeStart(text, &start) &&
        start == have)
        return 1;
    // A 206 for some other range (or for an unknown one) would splice wrong
    // bytes in. Ask for the whole object instead.
    if (!SendGet(objectPath, nullptr))
        return DOWNLOAD_REQUEST_FAILED;
    if (lastStatus_ == 200)
        return 0;
    if (QueryHeaderText(HTTP_QUERY_CONTENT_RANGE, text, sizeof text) && ParseContentRangeStart(text, &start) &&
        start == 0)
        return 0;
    return DOWNLOAD_REQUEST_FAILED;
}

int HttpDownloader::Transfer(HANDLE file, ULONGLONG total, ULONGLONG offset, const FILETIME& stamp)
{
    if (!readBuffer_)
        readBuffer_.reset(new (std::nothrow) char[kDownloadReadMax]);
    if (!readBuffer_)
        return DOWNLOAD_FILE_FAILED;  // no memory: a local failure, as a full disk is
    char* buffer = readBuffer_.get();
    int result = DOWNLOAD_DONE;
    DWORD start = GetTickCount();
    while (stopFlag_.load(std::memory_order_relaxed) == 0) {
        DWORD got = 0;
        // A connection cut short reads as the end of the body; the real end
        // has ended the loop already (the offset reached the total).
        if (ReadArrived(request_.get(), completion_, buffer, kDownloadReadMax, &got) != Arrival::Data) {
            result = DOWNLOAD_READ_FAILED;
            break;
        }
        elapsedMs_ += GetTickCount() - start;
        ULONGLONG received = receivedBytes_;
        receivedBytes_ += got;
        if (!WriteAll(file, buffer, got)) {
            result = DOWNLOAD_FILE_FAILED;
            break;
        }
        // Wine moves the last-write time on every write, even after it was
        // set through the same handle. The next attempt, or the next run
        // after the process was ended mid-transfer, compares it with the
        // server's; so it is put back after every read.
        SetStamp(file, stamp);
        if (!ReportChunks(file, total, received, &offset, got))
            break;
        if (offset == total)
            break;
        start = GetTickCount();
    }
    LONG stop = stopFlag_.load();
    // Stopped short of the end by any flag value: the file is no finished
    // download and must not be reported as one.
    if (stop == 1 || (stop != 0 && result == DOWNLOAD_DONE && offset != total))
        return DOWNLOAD_STOPPED;
    return result;
}

// The `got` bytes just written at `*offset`, reported a chunk at a time.
// A stop raised meanwhile (by a report, or by another thread) ends the file
// at the last chunk reported, so that a stopped file holds exactly what was
// reported: false then.
bool HttpDownloader::ReportChunks(HANDLE file, ULONGLONG total, ULONGLONG received, ULONGLONG* offset, DWORD got)
{
    const ULONGLONG end = *offset + got;
    while (*offset < end) {
        DWORD step = static_cast<DWORD>(end - *offset < kDownloadChunk ? end - *offset : kDownloadChunk);
        *offset += step;
        received += step;
        OnProgress(file, 1, elapsedMs_, received, total, *offset, userValue_);
        if (*offset < end && stopFlag_.load(std::memory_order_relaxed) != 0) {
            Truncate(file, *offset);
            return false;
        }
    }
    return true;
}
