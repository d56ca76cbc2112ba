// The pipeline's plain texts and counters, and the report's encoding.
#include <gtest/gtest.h>

#include "install/report_text.h"
#include "install/size_text.h"
#include "install/stall_count.h"
#include "install/statistics_report.h"

TEST(ReportText, ResultTextPiecesInOrderWithTheCodeUnsigned)
{
    ExtractionFigures figures;
    figures.code = -2;
    figures.attr = -1;
    figures.create = 183;
    figures.errid = 5;
    figures.size = 1234;
    EXPECT_EQ(L"C:\\Program Files\\Quillmoor\\|4294967294|attr:-1|create:183|errid:5|size:1234",
              FormatResultText(L"C:\\Program Files\\Quillmoor\\", figures));
    EXPECT_EQ(L"D:\\Q\\|0|attr:0|create:0|errid:0|size:0", FormatResultText(L"D:\\Q\\", {}));
}

TEST(ReportText, UrlEncodingOfAsciiAndOfNamesOutsideIt)
{
    EXPECT_EQ("C%3A%5CA+b%7C0", urlEncode(L"C:\\A b|0"));
    EXPECT_EQ("az-_.~09", urlEncode(L"az-_.~09"));
    // The tests run with code page 936, which holds these: UTF-8 goes out.
    EXPECT_EQ("C%3A%5C%E6%B8%B8%E6%88%8F%5C", urlEncode(L"C:\\游戏\\"));
    // What the code page cannot hold arrives as its default character.
    EXPECT_EQ("%3F", urlEncode(L"\u0e01"));
}

TEST(ReportText, StatisticsUrlKeysAndItsBufferLimit)
{
    EXPECT_EQ(L"http://127.0.0.1:8080/ajax/quickDownLoadStatistics/quickDownStatistics.jsp"
              L"?SiteID=100&StatistsType=2&UnzipResult=C%3A&channalID=-7",
              FormatStatisticsUrl("127.0.0.1:8080", kReportFailed, "C%3A", -7));
    // Long non-ASCII install paths take nine characters per character once
    // encoded: an over-long report is not sent rather than overrunning.
    std::string prefix = "http://h/ajax/quickDownLoadStatistics/quickDownStatistics.jsp?SiteID=100&StatistsType=1"
                         "&UnzipResult=&channalID=0";
    std::string fits(1023 - prefix.size(), 'x');
    EXPECT_EQ(1023u, FormatStatisticsUrl("h", kReportSucceeded, fits, 0).size());
    EXPECT_TRUE(FormatStatisticsUrl("h", kReportSucceeded, fits + "x", 0).empty());
}

TEST(SizeText, MegabytesWithTwoDecimalsPastFourGigabytes)
{
    EXPECT_EQ(L"0.00M/0.00M", FormatSizeText(0, 1));
    EXPECT_EQ(L"1.50M/10.00M", FormatSizeText(1572864, 10485760));
    EXPECT_EQ(L"5120.00M/5120.00M", FormatSizeText(5368709120ull, 5368709120ull));
}

TEST(StallCount, SixthFailedAttemptWithoutBytesResetsAndNewBytesRestart)
{
    StallCount stall;
    for (int i = 0; i < 5; ++i)
        EXPECT_FALSE(stall.AfterFailure(100, 100)) << i;
    EXPECT_TRUE(stall.AfterFailure(100, 100));
    for (int i = 0; i < 4; ++i)
        EXPECT_FALSE(stall.AfterFailure(0, 0));
    EXPECT_FALSE(stall.AfterFailure(0, 4096));  // bytes came: the count starts over
    for (int i = 0; i < 5; ++i)
        EXPECT_FALSE(stall.AfterFailure(4096, 4096));
    EXPECT_TRUE(stall.AfterFailure(4096, 4096));
}
