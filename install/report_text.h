// The texts of the statistics report: the extraction's result text, its
// percent-encoding and the report URL. Plain functions.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// What the worker saw around the extraction.
struct ExtractionFigures {
    int32_t code = 0;    // final ExtractArchive result
    int32_t attr = 0;    // attributes of the install root before the retry, or 0
    int32_t create = 0;  // result of creating the install root before the retry, or 0
    int32_t errid = 0;   // the thread's last error after the extraction
    int32_t size = 0;    // archive size before the retry, or 0
};

// "<installDir>|<code>|attr:<attr>|create:<create>|errid:<errid>|size:<size>",
// the code unsigned (-2 reads 4294967294), the rest signed.
std::wstring FormatResultText(const std::wstring& installDir, const ExtractionFigures& figures);

// Letters, digits and "-_.~" stay; a space becomes "+"; every other byte
// "%XX" in upper-case hex.
std::string PercentEncode(std::string_view bytes);

constexpr int kReportSucceeded = 1;
constexpr int kReportFailed = 2;
// The URL is built in a buffer of this many UTF-16 units, terminator
// included.
constexpr size_t kStatisticsUrlUnits = 1024;

// The report URL for `statsHost` ("host" or "host:port"); empty when it
// would not fit kStatisticsUrlUnits, so an over-long report is not sent
// rather than sent cut.
std::wstring FormatStatisticsUrl(std::string_view statsHost, int type, std::string_view encodedResult,
                                 int channelId);
