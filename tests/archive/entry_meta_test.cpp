#include <gtest/gtest.h>

#include <vector>

#include "archive/entry_meta.h"

namespace {

constexpr uint32_t kDosHost = 0x0014;
constexpr uint32_t kUnixHost = 0x0314;

uint32_t DosDateTime(int year, int month, int day, int hour, int minute, int second)
{
    return static_cast<uint32_t>((year - 1980) << 9 | month << 5 | day) << 16 |
           static_cast<uint32_t>(hour << 11 | minute << 5 | second / 2);
}

ExtendedTimes Parse(const std::vector<unsigned char>& extra)
{
    return ParseExtendedTimestamp(extra.data(), extra.size());
}

}  // namespace

TEST(EntryAttributes, DosHostsKeepTheirAttributeBits)
{
    for (uint32_t host : {0u, 7u, 11u, 14u})
        EXPECT_EQ(0x37u, EntryAttributes(host << 8 | 20, 0xFFFFFFFF)) << host;
    EXPECT_EQ(ENTRY_HIDDEN | ENTRY_ARCHIVE, EntryAttributes(kDosHost, 0x22));
    EXPECT_EQ(0u, EntryAttributes(kDosHost, 0x81C00000));
}

TEST(EntryAttributes, OtherHostsReadAUnixMode)
{
    EXPECT_EQ(ENTRY_ARCHIVE | ENTRY_READONLY, EntryAttributes(kUnixHost, 0100444u << 16));
    EXPECT_EQ(ENTRY_ARCHIVE, EntryAttributes(kUnixHost, 0100644u << 16));
    EXPECT_EQ(ENTRY_ARCHIVE | ENTRY_DIRECTORY, EntryAttributes(kUnixHost, 040755u << 16));
    // DOS bits in the low word mean nothing to a Unix host.
    EXPECT_EQ(ENTRY_ARCHIVE, EntryAttributes(0x1314, 0100600u << 16 | 0x17));
}

TEST(DosDateTimeToCalendar, SplitsTheFields)
{
    auto t = DosDateTimeToCalendar(DosDateTime(2019, 5, 17, 13, 45, 22));
    ASSERT_TRUE(t);
    EXPECT_EQ(2019, t->year);
    EXPECT_EQ(5, t->month);
    EXPECT_EQ(17, t->day);
    EXPECT_EQ(13, t->hour);
    EXPECT_EQ(45, t->minute);
    EXPECT_EQ(22, t->second);
    ASSERT_TRUE(DosDateTimeToCalendar(DosDateTime(2024, 2, 29, 23, 59, 58)));
    EXPECT_EQ(2107, DosDateTimeToCalendar(DosDateTime(2107, 12, 31, 0, 0, 0))->year);
}

TEST(DosDateTimeToCalendar, RefusesWhatIsNoRealTime)
{
    for (uint32_t dos : {0u, DosDateTime(2001, 2, 29, 0, 0, 0), DosDateTime(2019, 13, 1, 0, 0, 0),
                         DosDateTime(2019, 4, 31, 0, 0, 0), DosDateTime(2019, 1, 1, 24, 0, 0),
                         DosDateTime(2019, 1, 1, 0, 60, 0), DosDateTime(2019, 1, 1, 0, 0, 60)}) {
        EXPECT_FALSE(DosDateTimeToCalendar(dos)) << std::hex << dos;
    }
}

TEST(ParseExtendedTimestamp, ReadsTheFirstUtBlockInFlagOrder)
{
    // An unrelated block, then UT with write and creation time, then a second UT.
    ExtendedTimes t = Parse({'X', 'Y', 2, 0, 1, 2, 'U', 'T', 9, 0, 5, 0x10, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF,
                             'U', 'T', 5, 0, 2, 9, 9, 9, 9});
    EXPECT_EQ(16, t.write.value_or(0));
    EXPECT_FALSE(t.access);
    EXPECT_EQ(-1, t.creation.value_or(0));
}

TEST(ParseExtendedTimestamp, StaysInsideAShortOrLyingField)
{
    EXPECT_FALSE(Parse({'U', 'T', 1, 0}).write);  // no longer than 4 bytes
    // Claims 13 data bytes and all three times, holds one time.
    ExtendedTimes t = Parse({'U', 'T', 13, 0, 7, 1, 0, 0, 0, 2, 0});
    EXPECT_EQ(1, t.write.value_or(0));
    EXPECT_FALSE(t.access);
    EXPECT_FALSE(t.creation);
    // A block length that runs past the field ends the walk.
    EXPECT_FALSE(Parse({'X', 'Y', 0xFF, 0xFF, 'U', 'T', 5, 0, 1, 1, 0, 0, 0}).write);
}

TEST(UnixTimeToFileTime, CountsFrom1601In100NanosecondTicks)
{
    EXPECT_EQ(116444736000000000ULL, UnixTimeToFileTime(0));
    EXPECT_EQ(116444736000000000ULL + 15000000000000000ULL, UnixTimeToFileTime(1500000000));
    EXPECT_EQ(116444736000000000ULL - 10000000ULL, UnixTimeToFileTime(-1));
}
