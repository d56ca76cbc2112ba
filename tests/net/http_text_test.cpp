#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "net/http_text.h"

namespace {

struct HostPort {
    bool ok;
    std::string host;
    int port;
};

HostPort Split(const char* text)
{
    char host[kHostTextMax];
    memset(host, '#', sizeof host);
    int port = -7;
    bool ok = SplitHostText(text, host, sizeof host, &port);
    return {ok, ok ? host : "", port};
}

struct Target {
    bool ok;
    std::string host;
    std::string path;
};

Target Follow(const char* location, const char* current = "origin:81")
{
    char host[kHostTextMax];
    char path[kLocationMax];
    bool ok = SplitLocation(location, current, host, sizeof host, path, sizeof path);
    return {ok, ok ? host : "", ok ? path : ""};
}

CalendarTime Date(const char* text, bool* ok = nullptr)
{
    CalendarTime date;
    bool parsed = ParseHttpDate(text, &date);
    if (ok)
        *ok = parsed;
    return date;
}

}  // namespace

TEST(SplitHostText, PortComesFromTheNumberAfterTheColonElse80)
{
    HostPort withPort = Split("dl1.example.com:8080");
    EXPECT_TRUE(withPort.ok);
    EXPECT_EQ("dl1.example.com", withPort.host);
    EXPECT_EQ(8080, withPort.port);

    for (const char* text : {"dl1.example.com", "dl1.example.com:", "dl1.example.com:x1"}) {
        SCOPED_TRACE(text);
        HostPort plain = Split(text);
        EXPECT_TRUE(plain.ok);
        EXPECT_EQ("dl1.example.com", plain.host);
        EXPECT_EQ(80, plain.port);
    }
}

TEST(SplitHostText, RefusesWhatCannotBeAHostOrPort)
{
    EXPECT_FALSE(Split(nullptr).ok);
    EXPECT_FALSE(Split("").ok);
    EXPECT_FALSE(Split(":8080").ok);
    EXPECT_FALSE(Split("host:65536").ok);
    EXPECT_FALSE(Split("host:0").ok);
    EXPECT_TRUE(Split("host:65535").ok);

    std::string longest(kHostTextMax - 1, 'h');
    EXPECT_TRUE(Split(longest.c_str()).ok);
    std::string tooLong = longest + "h:80";
    EXPECT_FALSE(Split(tooLong.c_str()).ok);
}

TEST(SplitLocation, HostAndPathOfTheNextRequest)
{
    Target full = Follow("http://mirror.example.com/files/a.zip");
    EXPECT_EQ("mirror.example.com", full.host);
    EXPECT_EQ("/files/a.zip", full.path);
    HostPort noPort = Split(full.host.c_str());
    EXPECT_EQ(80, noPort.port);

    Target withPort = Follow("HTTP://mirror:8080/a?b=c/d");
    EXPECT_EQ("mirror:8080", withPort.host);
    EXPECT_EQ("/a?b=c/d", withPort.path);

    Target hostOnly = Follow("http://mirror:8080");
    EXPECT_EQ("mirror:8080", hostOnly.host);
    EXPECT_EQ("/", hostOnly.path);

    Target sameServer = Follow("/moved/a.zip");
    EXPECT_EQ("origin:81", sameServer.host);
    EXPECT_EQ("/moved/a.zip", sameServer.path);
}

TEST(SplitLocation, OtherSchemesAndOverlongPartsFail)
{
    EXPECT_FALSE(Follow("https://mirror/a.zip").ok);
    EXPECT_FALSE(Follow("ftp://mirror/a.zip").ok);
    EXPECT_FALSE(Follow("http://").ok);

    std::string longPath = "http://h/" + std::string(kLocationMax, 'p');
    EXPECT_FALSE(Follow(longPath.c_str()).ok);
    std::string longHost = "http://" + std::string(kHostTextMax, 'h') + "/a";
    EXPECT_FALSE(Follow(longHost.c_str()).ok);
}

TEST(MonthFromName, AbbreviationsInAnyCase)
{
    const char* names[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    for (int i = 0; i < 12; ++i)
        EXPECT_EQ(i + 1, MonthFromName(names[i])) << names[i];
    EXPECT_EQ(11, MonthFromName("nov"));
    EXPECT_EQ(11, MonthFromName("NOVEMBER"));
    EXPECT_EQ(0, MonthFromName("Foo"));
    EXPECT_EQ(0, MonthFromName("No"));
    EXPECT_EQ(0, MonthFromName(""));
    EXPECT_EQ(0, MonthFromName(nullptr));
}

TEST(ParseHttpDate, Rfc1123Fields)
{
    bool ok = false;
    CalendarTime date = Date("Sun, 06 Nov 1994 08:49:37 GMT", &ok);
    EXPECT_TRUE(ok);
    EXPECT_EQ(1994, date.year);
    EXPECT_EQ(11, date.month);
    EXPECT_EQ(6, date.day);
    EXPECT_EQ(8, date.hour);
    EXPECT_EQ(49, date.minute);
    EXPECT_EQ(37, date.second);

    EXPECT_EQ(11, Date("Sun, 06 nov 1994 08:49:37 GMT").month);
    CalendarTime unknown = Date("Sun, 06 Foo 1994 08:49:37 GMT", &ok);
    EXPECT_TRUE(ok);
    EXPECT_EQ(0, unknown.month);
    EXPECT_EQ(1994, unknown.year);
}

TEST(ParseHttpDate, ShortAndOverlongWords)
{
    bool ok = false;
    CalendarTime shortTime = Date("Sun, 06 Nov 1994 08", &ok);
    EXPECT_TRUE(ok);
    EXPECT_EQ(8, shortTime.hour);
    EXPECT_EQ(0, shortTime.minute);
    EXPECT_EQ(0, shortTime.second);

    CalendarTime empty = Date("", &ok);
    EXPECT_TRUE(ok);
    EXPECT_EQ(0, empty.year);

    Date("Sun, 06 November 1994 08:49:37 GMT", &ok);
    EXPECT_FALSE(ok) << "a month word over 7 characters";
    Date("Sun, 06 Nov 19940000 08:49:37 GMT", &ok);
    EXPECT_FALSE(ok) << "a year word over 7 characters";
    Date("Sun, 06 Nov 1994 08:49:37.0000000000 GMT", &ok);
    EXPECT_FALSE(ok) << "a time word over 15 characters";
}

TEST(ParseContentLength, SixtyFourBitsOrNothing)
{
    uint64_t length = 7;
    EXPECT_TRUE(ParseContentLength("5000000000", &length));
    EXPECT_EQ(5000000000ULL, length);
    EXPECT_TRUE(ParseContentLength(" 0", &length));
    EXPECT_EQ(0u, length);

    length = 7;
    EXPECT_FALSE(ParseContentLength("", &length));
    EXPECT_FALSE(ParseContentLength("abc", &length));
    EXPECT_FALSE(ParseContentLength("-1", &length));
    EXPECT_FALSE(ParseContentLength("18446744073709551616", &length));
    EXPECT_EQ(7u, length) << "a failed parse leaves the output alone";
}

TEST(ParseContentRangeStart, FirstPositionOfTheRange)
{
    uint64_t start = 7;
    EXPECT_TRUE(ParseContentRangeStart("bytes 3145728-10485759/10485760", &start));
    EXPECT_EQ(3145728u, start);
    start = 7;
    EXPECT_FALSE(ParseContentRangeStart("bytes */100", &start));
    EXPECT_FALSE(ParseContentRangeStart("items 1-2/3", &start));
    EXPECT_FALSE(ParseContentRangeStart("bytes 12", &start));
    EXPECT_FALSE(ParseContentRangeStart(nullptr, &start));
    EXPECT_EQ(7u, start);
}

TEST(FormatRangeLine, OpenEndedRangeWithoutBlank)
{
    char line[kRangeLineMax];
    ASSERT_TRUE(FormatRangeLine(3145728, line, sizeof line));
    EXPECT_STREQ("range:bytes=3145728-", line);
    ASSERT_TRUE(FormatRangeLine(18446744073709551615ULL, line, sizeof line));
    EXPECT_STREQ("range:bytes=18446744073709551615-", line);

    char small[21];
    memset(small, '#', sizeof small);
    EXPECT_FALSE(FormatRangeLine(31457280, small, sizeof small));
    EXPECT_EQ('#', small[0]) << "nothing written when the line does not fit";
}
