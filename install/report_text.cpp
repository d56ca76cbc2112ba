#include "install/report_text.h"

namespace {

std::wstring Widen(std::string_view ascii)
{
    return std::wstring(ascii.begin(), ascii.end());
}

bool KeptAsIs(unsigned char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_' ||
           c == '.' || c == '~';
}

}  // namespace

std::wstring FormatResultText(const std::wstring& installDir, const ExtractionFigures& figures)
{
    return installDir + L"|" + std::to_wstring(static_cast<uint32_t>(figures.code)) + L"|attr:" +
           std::to_wstring(figures.attr) + L"|create:" + std::to_wstring(figures.create) + L"|errid:" +
           std::to_wstring(figures.errid) + L"|size:" + std::to_wstring(figures.size);
}

std::string PercentEncode(std::string_view bytes)
{
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(bytes.size() * 3);
    for (unsigned char c : bytes) {
        if (KeptAsIs(c)) {
            out += static_cast<char>(c);
        } else if (c == ' ') {
            out += '+';
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 0x0F];
        }
    }
    return out;
}

std::wstring FormatStatisticsUrl(std::string_view statsHost, int type, std::string_view encodedResult,
                                 int channelId)
{
    std::wstring url = L"http://" + Widen(statsHost) +
                       L"/ajax/quickDownLoadStatistics/quickDownStatistics.jsp?SiteID=100&StatistsType=" +
                       std::to_wstring(type) + L"&UnzipResult=" + Widen(encodedResult) +
                       L"&channalID=" + std::to_wstring(channelId);
    if (url.size() >= kStatisticsUrlUnits)
        return {};
    return url;
}
