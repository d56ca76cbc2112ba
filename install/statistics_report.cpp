#include "install/statistics_report.h"

#include <windows.h>
#include <wininet.h>

#include <cstdio>

#include "base/ansi_text.h"
#include "base/unique_resource.h"
#include "base/utf8_text.h"
#include "install/report_text.h"
#include "net/net_timeouts.h"

std::string urlEncode(const wchar_t* text)
{
    // The round trip through the code page is what the portal's figures
    // have always been made of; keep it.
    std::wstring roundTrip = ToWide(ToAnsi(text).c_str());
    return PercentEncode(ToUtf8(roundTrip));
}

namespace {

// A host that trickles its answer must not hold the worker either: the
// answer is read for this long at most.
constexpr DWORD kAnswerBudgetMs = 10000;

struct UrlParts {
    wchar_t host[INTERNET_MAX_HOST_NAME_LENGTH + 1] = {};
    wchar_t path[kStatisticsUrlUnits] = {};
    wchar_t query[kStatisticsUrlUnits] = {};
    INTERNET_PORT port = 0;
};

bool CrackUrl(const wchar_t* url, UrlParts* parts)
{
    URL_COMPONENTSW components = {};
    components.dwStructSize = sizeof components;
    components.lpszHostName = parts->host;
    components.dwHostNameLength = INTERNET_MAX_HOST_NAME_LENGTH + 1;
    components.lpszUrlPath = parts->path;
    components.dwUrlPathLength = kStatisticsUrlUnits;
    components.lpszExtraInfo = parts->query;
    components.dwExtraInfoLength = kStatisticsUrlUnits;
    if (!InternetCrackUrlW(url, 0, 0, &components))
        return false;
    parts->port = components.nPort;
    return true;
}

}  // namespace

// A request of its own rather than InternetOpenUrl: only a connection
// handle of its own carries time-outs that Wine's requests obey.
void reportStatistics(const wchar_t* url)
{
    if (!url || !*url)
        return;
    UrlParts parts;
    if (!CrackUrl(url, &parts))
        return;
    std::wstring object = std::wstring(parts.path) + parts.query;
    UniqueInternet internet(InternetOpenW(L"UrlTest", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    if (!internet)
        return;
    SetNetTimeouts(internet.get());
    UniqueInternet connection(
        InternetConnectW(internet.get(), parts.host, parts.port, nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 0));
    if (!connection)
        return;
    SetNetTimeouts(connection.get());
    UniqueInternet request(HttpOpenRequestW(connection.get(), L"GET", object.c_str(), nullptr, nullptr, nullptr,
                                            INTERNET_FLAG_NO_CACHE_WRITE, 0));
    if (!request || !HttpSendRequestW(request.get(), nullptr, 0, nullptr, 0))
        return;
    char chunk[260];
    DWORD got = 0;
    DWORD start = GetTickCount();
    while (GetTickCount() - start < kAnswerBudgetMs && InternetReadFile(request.get(), chunk, sizeof chunk - 1, &got) &&
           got > 0) {
        chunk[got] = '\0';
        printf("%s", chunk);
    }
    fflush(stdout);
}
