// Times one download of an object under Wine, either through DownloadFile
// (with a progress sink that does what the main window's does) or through
// a bare reference loop of reads and WriteFile: blocking InternetReadFile
// calls of CHUNK bytes, or reads of what has arrived, up to the download's
// own read size, as DownloadFile reads (net/arrived_reads.h).
//   download_bench ours HOST:PORT PATH FILE
//   download_bench bare HOST:PORT PATH FILE CHUNK
//   download_bench arrived HOST:PORT PATH FILE
// Prints "<bytes> <seconds>" for the transfer, process start excluded.
#include <windows.h>
#include <wininet.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "base/unique_resource.h"
#include "net/arrived_reads.h"
#include "net/download_progress.h"
#include "net/http_downloader.h"
#include "net/http_text.h"

namespace {

class ProgressSink : public HttpDownloader {
public:
    void OnProgress(HANDLE, int, DWORD elapsedMs, ULONGLONG received, ULONGLONG total, ULONGLONG offset,
                    LONG) override
    {
        progress.Record(elapsedMs, received, total, offset);
        last = offset;
    }
    DownloadProgress progress;
    ULONGLONG last = 0;
};

double Seconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

int RunOurs(const char* host, const char* path, const char* file)
{
    ProgressSink client;
    if (client.Connect(host, nullptr, nullptr, 0) != 1) {
        fprintf(stderr, "cannot connect to %s\n", host);
        return 1;
    }
    DeleteFileA(file);
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    int result = client.DownloadFile(path, file, 1);
    QueryPerformanceCounter(&end);
    if (result != DOWNLOAD_DONE) {
        fprintf(stderr, "DownloadFile gave %d\n", result);
        return 1;
    }
    printf("%llu %.6f\n", static_cast<unsigned long long>(client.last), Seconds(start, end));
    return 0;
}

// A bare loop of reads and WriteFile over the client's request (its flags,
// so both read the network alike), without the file's stamp, the progress
// reports or the resume: blocking InternetReadFile calls of `chunk` bytes,
// or, with `chunk` 0, reads of what has arrived as DownloadFile reads.
int RunLoop(const char* hostText, const char* path, const char* file, DWORD chunk)
{
    char host[kHostTextMax];
    int port = kDefaultHttpPort;
    if (!SplitHostText(hostText, host, sizeof host, &port))
        return 2;
    const bool arrived = chunk == 0;
    const DWORD size = arrived ? kDownloadReadMax : chunk;
    RequestCompletion completion;
    UniqueInternet internet(arrived ? OpenAsyncInternet()
                                    : InternetOpenA(nullptr, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    UniqueInternet connection(InternetConnectA(internet.get(), host, static_cast<INTERNET_PORT>(port), nullptr,
                                               nullptr, INTERNET_SERVICE_HTTP, 0, 0));
    std::vector<char> buffer(size);
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    UniqueInternet request(HttpOpenRequestA(connection.get(), "GET", path, "HTTP/1.0", nullptr, nullptr,
                                            INTERNET_FLAG_KEEP_CONNECTION | INTERNET_FLAG_RELOAD |
                                                INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_NO_AUTO_REDIRECT,
                                            arrived ? completion.context() : 0));
    bool sent = request && (arrived ? SendRequestAndWait(request.get(), completion)
                                    : HttpSendRequestA(request.get(), nullptr, 0, nullptr, 0));
    if (!sent) {
        fprintf(stderr, "request failed: %lu\n", GetLastError());
        return 1;
    }
    UniqueFile out(CreateFileA(file, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    if (!out) {
        fprintf(stderr, "cannot create %s\n", file);
        return 1;
    }
    ULONGLONG total = 0;
    for (;;) {
        DWORD got = 0, written = 0;
        bool read = arrived ? ReadArrived(request.get(), completion, buffer.data(), size, &got) == Arrival::Data
                            : InternetReadFile(request.get(), buffer.data(), size, &got) && got > 0;
        if (!read)
            break;
        WriteFile(out.get(), buffer.data(), got, &written, nullptr);
        total += got;
    }
    QueryPerformanceCounter(&end);
    printf("%llu %.6f\n", static_cast<unsigned long long>(total), Seconds(start, end));
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 5 && strcmp(argv[1], "ours") == 0)
        return RunOurs(argv[2], argv[3], argv[4]);
    if (argc == 5 && strcmp(argv[1], "arrived") == 0)
        return RunLoop(argv[2], argv[3], argv[4], 0);
    DWORD chunk = argc == 6 ? static_cast<DWORD>(strtoul(argv[5], nullptr, 10)) : 0;
    if (chunk != 0 && strcmp(argv[1], "bare") == 0)
        return RunLoop(argv[2], argv[3], argv[4], chunk);
    fprintf(stderr,
            "usage: download_bench ours HOST:PORT PATH FILE | bare HOST:PORT PATH FILE CHUNK | arrived HOST:PORT PATH "
            "FILE\n");
    return 2;
}
