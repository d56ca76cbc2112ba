#include <gtest/gtest.h>

#include "archive/entry_name.h"

namespace {

// The target of a name that must be used; "<refused>" for one that must not.
std::wstring Target(std::wstring_view name)
{
    return TargetBelowBase(name).value_or(L"<refused>");
}

}  // namespace

TEST(MakeSafeEntryName, StripsDriveAndRootPrefixesAgainAndAgain)
{
    EXPECT_EQ(L"a.txt", MakeSafeEntryName(L"C:a.txt"));
    EXPECT_EQ(L"dir\\a.txt", MakeSafeEntryName(L"C:\\dir\\a.txt"));
    EXPECT_EQ(L"a.txt", MakeSafeEntryName(L"/a.txt"));
    EXPECT_EQ(L"a.txt", MakeSafeEntryName(L"\\\\/a.txt"));
    EXPECT_EQ(L"f.txt", MakeSafeEntryName(L"//\\C:f.txt"));
    EXPECT_EQ(L"server\\share\\x", MakeSafeEntryName(L"\\\\server\\share\\x"));
    EXPECT_EQ(L"", MakeSafeEntryName(L"C:"));
    EXPECT_EQ(L"plain/name.txt", MakeSafeEntryName(L"plain/name.txt"));
    EXPECT_EQ(L"目录乗/文件.txt", MakeSafeEntryName(L"目录乗/文件.txt"));
}

TEST(MakeSafeEntryName, DropsEverythingUpToTheFirstParentSequence)
{
    EXPECT_EQ(L"b.txt", MakeSafeEntryName(L"a/../b.txt"));
    EXPECT_EQ(L"b.txt", MakeSafeEntryName(L"a/x/../b.txt"));
    EXPECT_EQ(L"b.txt", MakeSafeEntryName(L"a\\..\\b.txt"));
    EXPECT_EQ(L"b.txt", MakeSafeEntryName(L"a\\../b.txt"));
    EXPECT_EQ(L"b.txt", MakeSafeEntryName(L"a/..\\b.txt"));
    EXPECT_EQ(L"y/b.txt", MakeSafeEntryName(L"a/../x/../y/b.txt"));
    // The first match eats the slash a second one would need.
    EXPECT_EQ(L"../b.txt", MakeSafeEntryName(L"a/../../b.txt"));
    EXPECT_EQ(L"..", MakeSafeEntryName(L".."));
}

// What Win32 would make of the path, done by hand for the long form.
TEST(TargetBelowBase, NormalisesAsWin32WouldWithoutLeavingTheBase)
{
    EXPECT_EQ(L"a\\b\\c.txt", Target(L"a/b\\c.txt"));
    EXPECT_EQ(L"", Target(L""));
    EXPECT_EQ(L"dir\\", Target(L"dir/"));
    EXPECT_EQ(L"a\\b", Target(L"a//b"));
    // Trailing dots and spaces go from every component; "." goes whole.
    EXPECT_EQ(L"a\\b.txt", Target(L"a. ./b.txt. "));
    EXPECT_EQ(L"a\\b", Target(L"./a/./b"));
    EXPECT_EQ(L"a\\", Target(L"a/."));
    EXPECT_EQ(L"name .txt", Target(L"name .txt"));
    EXPECT_EQ(L"..a\\b..c", Target(L"..a/b..c"));
    EXPECT_EQ(L" lead", Target(L" lead"));
    EXPECT_EQ(L"Ωμέγα\\🎮.txt", Target(L"Ωμέγα/🎮.txt"));
}

TEST(TargetBelowBase, RefusesParentsStreamsDrivesAndRoots)
{
    for (const wchar_t* name : {L"..", L"../b", L"..\\b", L"a/..", L"a/../b", L".. /b", L"x/. ./b", L".../b",
                                L"a/.. ", L" ..", L"/abs", L"\\abs", L"C:x", L"a/C:/b", L"ads.txt:stream",
                                L"dir:/x", L"x/:"}) {
        EXPECT_EQ(L"<refused>", Target(name)) << name;
    }
}

TEST(TargetBelowBase, RefusesDeviceNamesInAnyComponent)
{
    for (const wchar_t* name : {L"CON", L"con", L"nul.txt", L"Aux.tar.gz", L"sub/PRN", L"com1/x.txt", L"LPT9.log",
                                L"nul .txt", L"NUL.", L"com\u00B9", L"dir/lpt3 "}) {
        EXPECT_EQ(L"<refused>", Target(name)) << name;
    }
    for (const wchar_t* name : {L"CONSOLE", L"nul_", L"xnul", L"COM10", L"com0", L"LPT", L"auxiliary.txt",
                                L"a.con", L".nul"}) {
        EXPECT_EQ(std::wstring(name), Target(name)) << name;
    }
}

TEST(FilePartOffset, SplitsAfterTheLastSeparator)
{
    EXPECT_EQ(0u, FilePartOffset(L"a.txt"));
    EXPECT_EQ(4u, FilePartOffset(L"x/y\\z.txt"));
    EXPECT_EQ(4u, FilePartOffset(L"dir/"));
    EXPECT_EQ(2u, FilePartOffset(L"乗\\z.txt"));
}

TEST(WithoutTrailingSeparators, KeepsRoots)
{
    EXPECT_EQ(L"C:\\dir", WithoutTrailingSeparators(L"C:\\dir\\"));
    EXPECT_EQ(L"C:\\dir", WithoutTrailingSeparators(L"C:\\dir\\/\\"));
    EXPECT_EQ(L"C:\\dir", WithoutTrailingSeparators(L"C:\\dir"));
    EXPECT_EQ(L"C:\\", WithoutTrailingSeparators(L"C:\\"));
    EXPECT_EQ(L"C:\\", WithoutTrailingSeparators(L"C:\\\\"));
    EXPECT_EQ(L"\\\\?\\C:\\", WithoutTrailingSeparators(L"\\\\?\\C:\\"));
    EXPECT_EQ(L"\\", WithoutTrailingSeparators(L"\\"));
    EXPECT_EQ(L"\\", WithoutTrailingSeparators(L"\\\\\\"));
    EXPECT_EQ(L"", WithoutTrailingSeparators(L""));
}
