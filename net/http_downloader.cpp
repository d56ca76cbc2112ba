#include "net/http_downloader.h"

#include <wininet.h>

#include <cstring>

#include "base/system_time.h"
#include "net/http_text.h"
#include "net/net_timeouts.h"

namespace {

// Every request bypasses the cache: a resume must never be served a stale
// body, and the archive must not be stored a second time in the cache.
// Redirects come back to SendGet, which bounds them; Wine's WinINet follows
// them itself without any limit, a redirect cycle included.
constexpr DWORD kRequestFlags = INTERNET_FLAG_KEEP_CONNECTION | INTERNET_FLAG_RELOAD |
                                INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_NO_AUTO_REDIRECT;

}  // namespace

HttpDownloader::HttpDownloader()
{
    DWORD unlimited = 0xFFFFFFFF;
    InternetSetOptionA(nullptr, INTERNET_OPTION_MAX_CONNS_PER_SERVER, &unlimited, sizeof unlimited);
    InternetSetOptionA(nullptr, INTERNET_OPTION_MAX_CONNS_PER_1_0_SERVER, &unlimited, sizeof unlimited);
}

HttpDownloader::~HttpDownloader()
{
    request_.reset();
    connection_.reset();
    internet_.reset();
    userValue_ = 0;
}

void HttpDownloader::OnProgress(HANDLE, int, DWORD, ULONGLONG, ULONGLONG, ULONGLONG, LONG) {}

int HttpDownloader::Connect(const char* hostText, const char* userName, const char* password, LONG userValue)
{
    homeHost_[0] = '\0';
    if (!OpenConnection(hostText, userName, password))
        return 0;
    lstrcpynA(homeHost_, hostText, sizeof homeHost_);
    ResetSession(userValue);
    return 1;
}

void HttpDownloader::ResetSession(LONG userValue)
{
    userValue_ = userValue;
    elapsedMs_ = 1;
    receivedBytes_ = 0;
    stopFlag_.store(0);
}

int HttpDownloader::OpenConnection(const char* hostText, const char* userName, const char* password)
{
    request_.reset();
    connection_.reset();
    internet_.reset();
    hostText_[0] = '\0';
    if (!hostText)
        return 0;

    // Asynchronous, so that a read can take what has arrived and no more
    // (net/arrived_reads.h); every call that goes pending is waited for.
    internet_.reset(OpenAsyncInternet());
    if (!internet_)
        return 0;
    SetNetTimeouts(internet_.get());

    char host[kHostTextMax];
    int port = kDefaultHttpPort;
    if (!SplitHostText(hostText, host, sizeof host, &port) || strlen(hostText) >= sizeof hostText_)
        return 0;
    connection_.reset(InternetConnectA(internet_.get(), host, static_cast<INTERNET_PORT>(port), userName, password,
                                       INTERNET_SERVICE_HTTP, 0, 0));
    if (!connection_)
        return 0;
    // Set only on the Internet handle, Wine would let a stalled server
    // hold a read for as long as it likes.
    SetNetTimeouts(connection_.get());
    lstrcpynA(hostText_, hostText, sizeof hostText_);
    return 1;
}

int HttpDownloader::SendOnce(const char* objectPath, const char* extraHeaders)
{
    request_.reset();
    lastStatus_ = 0;
    if (!connection_)
        return 0;
    request_.reset(HttpOpenRequestA(connection_.get(), "GET", objectPath, "HTTP/1.0", nullptr, nullptr,
                                    kRequestFlags, completion_.context()));
    if (!request_)
        return 0;
    if (extraHeaders && *extraHeaders &&
        !HttpAddRequestHeadersA(request_.get(), extraHeaders, static_cast<DWORD>(-1),
                                HTTP_ADDREQ_FLAG_ADD | HTTP_ADDREQ_FLAG_REPLACE))
        return 0;
    if (!SendRequestAndWait(request_.get(), completion_))
        return 0;
    DWORD status = 0;
    DWORD size = sizeof status;
    if (!HttpQueryInfoA(request_.get(), HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr))
        return 0;
    lastStatus_ = status;
    return 1;
}

int HttpDownloader::SendGet(const char* objectPath, const char* extraHeaders)
{
    // A redirect to another server leaves the connection there, but the
    // object path belongs to the server the caller connected to: the next
    // request (a resume, another attempt) must start from it again.
    if (homeHost_[0] && strcmp(hostText_, homeHost_) != 0 && !OpenConnection(homeHost_, nullptr, nullptr))
        return 0;

    char location[kLocationMax];
    char nextHost[kHostTextMax + 8];
    char nextPath[kLocationMax];
    const char* path = objectPath;
    for (int redirects = 0;; ++redirects) {
        if (!SendOnce(path, extraHeaders))
            return 0;
        if (lastStatus_ == 200 || lastStatus_ == 206)
            return 1;
        if ((lastStatus_ != 301 && lastStatus_ != 302) || redirects == kMaxRedirects)
            return 0;
        if (!QueryHeaderText(HTTP_QUERY_LOCATION, location, sizeof location))
            return 0;
        if (!SplitLocation(location, hostText_, nextHost, sizeof nextHost, nextPath, sizeof nextPath))
            return 0;
        // A redirect reconnects like Connect with user value 0 would, but
        // the caller's server stays the one later requests start from.
        if (!OpenConnection(nextHost, nullptr, nullptr))
            return 0;
        ResetSession(0);
        path = nextPath;
    }
}

int HttpDownloader::QueryHeaderText(DWORD query, char* text, DWORD size)
{
    if (!request_)
        return 0;
    memset(text, 0, size);
    DWORD length = size;
    return HttpQueryInfoA(request_.get(), query, text, &length, nullptr) ? 1 : 0;
}

int HttpDownloader::QueryContentLength(ULONGLONG* length)
{
    if (!request_ || !length)
        return 0;
    char text[kHeaderTextMax];
    if (!QueryHeaderText(HTTP_QUERY_CONTENT_LENGTH, text, sizeof text))
        return 0;
    uint64_t value = 0;
    if (!ParseContentLength(text, &value))
        return 0;
    *length = value;
    return 1;
}

int HttpDownloader::QueryLastModified(SYSTEMTIME* stamp)
{
    if (!request_ || !stamp)
        return 0;
    char text[kHeaderTextMax];
    CalendarTime date;
    if (!QueryHeaderText(HTTP_QUERY_LAST_MODIFIED, text, sizeof text) || !ParseHttpDate(text, &date))
        return 0;
    *stamp = ToSystemTime(date);
    return 1;
}
