#include <gtest/gtest.h>

#include "archive/entry_name.h"

namespace {

bool NoLeadBytes(unsigned char)
{
    return false;
}

bool GbkLeadByte(unsigned char c)
{
    return c >= 0x81 && c <= 0xFE;
}

std::string Safe(std::string_view stored)
{
    return MakeSafeEntryName(stored, GbkLeadByte);
}

}  // namespace

TEST(MakeSafeEntryName, StripsDriveAndRootPrefixesAgainAndAgain)
{
    EXPECT_EQ("a.txt", Safe("C:a.txt"));
    EXPECT_EQ("dir\\a.txt", Safe("C:\\dir\\a.txt"));
    EXPECT_EQ("a.txt", Safe("/a.txt"));
    EXPECT_EQ("a.txt", Safe("\\\\/a.txt"));
    EXPECT_EQ("f.txt", Safe("//\\C:f.txt"));
    EXPECT_EQ("server\\share\\x", Safe("\\\\server\\share\\x"));
    EXPECT_EQ("", Safe("C:"));
    EXPECT_EQ("plain/name.txt", Safe("plain/name.txt"));
}

TEST(MakeSafeEntryName, DropsEverythingUpToTheFirstParentSequence)
{
    EXPECT_EQ("b.txt", Safe("a/../b.txt"));
    EXPECT_EQ("b.txt", Safe("a/x/../b.txt"));
    EXPECT_EQ("b.txt", Safe("a\\..\\b.txt"));
    EXPECT_EQ("b.txt", Safe("a\\../b.txt"));
    EXPECT_EQ("b.txt", Safe("a/..\\b.txt"));
    EXPECT_EQ("y/b.txt", Safe("a/../x/../y/b.txt"));
    // The first match eats the slash a second one would need.
    EXPECT_EQ("../b.txt", Safe("a/../../b.txt"));
    EXPECT_EQ("..", Safe(".."));
}

TEST(MakeSafeEntryName, TrailBytesAreNotSeparators)
{
    // 0x81 0x5C is one GBK character whose trail byte reads as '\'.
    const std::string gbkDots = "\x81\x5C..\\b.txt";
    EXPECT_EQ(gbkDots, Safe(gbkDots));
    EXPECT_EQ("b.txt", MakeSafeEntryName(gbkDots, NoLeadBytes));
    // A double-byte first character is followed by the colon test's second character.
    EXPECT_EQ("x", Safe("\xD6\xD0:x"));
}

TEST(StaysBelowBase, RefusesNamesWindowsCouldReadAsParent_FixedFault)
{
    for (const char* name : {"..", "../b", "..\\b", "a/..", "a/../b", ".. /b", "x/. ./b", ".../b", "a/.. ", "/abs",
                             "\\abs", "C:x", "a/C:/b", "ads.txt:stream"}) {
        EXPECT_FALSE(StaysBelowBase(name, GbkLeadByte)) << name;
    }
    for (const char* name : {"", "a", "a/b/c.txt", "./a", "a./b", "..a/b", "a..", "dir/", "\x81\x5C..\\b.txt"}) {
        EXPECT_TRUE(StaysBelowBase(name, GbkLeadByte)) << name;
    }
}

TEST(FilePartOffset, SplitsAfterTheLastRealSeparator)
{
    EXPECT_EQ(0u, FilePartOffset("a.txt", GbkLeadByte));
    EXPECT_EQ(4u, FilePartOffset("x/y\\z.txt", GbkLeadByte));
    EXPECT_EQ(4u, FilePartOffset("dir/", GbkLeadByte));
    EXPECT_EQ(0u, FilePartOffset("\x81\x5Cz.txt", GbkLeadByte));
    EXPECT_EQ(2u, FilePartOffset("\x81\x5Cz.txt", NoLeadBytes));
}

TEST(WithoutTrailingSeparators, KeepsRootsAndTrailBytes)
{
    EXPECT_EQ("C:\\dir", WithoutTrailingSeparators("C:\\dir\\", GbkLeadByte));
    EXPECT_EQ("C:\\dir", WithoutTrailingSeparators("C:\\dir\\/\\", GbkLeadByte));
    EXPECT_EQ("C:\\dir", WithoutTrailingSeparators("C:\\dir", GbkLeadByte));
    EXPECT_EQ("C:\\", WithoutTrailingSeparators("C:\\", GbkLeadByte));
    EXPECT_EQ("C:\\", WithoutTrailingSeparators("C:\\\\", GbkLeadByte));
    EXPECT_EQ("\\", WithoutTrailingSeparators("\\", GbkLeadByte));
    EXPECT_EQ("\\", WithoutTrailingSeparators("\\\\\\", GbkLeadByte));
    EXPECT_EQ("", WithoutTrailingSeparators("", GbkLeadByte));
    // 0x81 0x5C is one character; only separators after it go.
    EXPECT_EQ("C:\\\x81\x5C", WithoutTrailingSeparators("C:\\\x81\x5C", GbkLeadByte));
    EXPECT_EQ("C:\\\x81\x5C", WithoutTrailingSeparators("C:\\\x81\x5C\\\\", GbkLeadByte));
    EXPECT_EQ("\x81\x5C", WithoutTrailingSeparators("\x81\x5C", GbkLeadByte));
    EXPECT_EQ("C:\\\x81", WithoutTrailingSeparators("C:\\\x81\x5C", NoLeadBytes));
}
