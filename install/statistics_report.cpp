#include "install/statistics_report.h"

#include <windows.h>
#include <wininet.h>

#include <cstdio>

#include "base/ansi_text.h"
#include "base/unique_resource.h"
#include "install/report_text.h"

namespace {

std::string ToUtf8(const std::wstring& text)
{
    int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                   nullptr);
    if (size <= 0)
        return {};
    std::string out(size, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), out.data(), size, nullptr, nullptr);
    return out;
}

}  // namespace

std::string urlEncode(const wchar_t* text)
{
    // The round trip through the code page is what the portal's figures
    // have always been made of; keep it.
    std::wstring roundTrip = ToWide(ToAnsi(text).c_str());
    return PercentEncode(ToUtf8(roundTrip));
}

void reportStatistics(const wchar_t* url)
{
    if (!url || !*url)
        return;
    UniqueInternet internet(InternetOpenW(L"UrlTest", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    if (!internet)
        return;
    UniqueInternet request(InternetOpenUrlW(internet.get(), url, nullptr, 0, INTERNET_FLAG_NO_CACHE_WRITE, 0));
    if (!request)
        return;
    char chunk[260];
    DWORD got = 0;
    while (InternetReadFile(request.get(), chunk, sizeof chunk - 1, &got) && got > 0) {
        chunk[got] = '\0';
        printf("%s", chunk);
    }
    fflush(stdout);
}
