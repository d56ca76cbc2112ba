#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>

#include "base/unique_resource.h"
#include "archive/archive_result.h"
#include "archive/extract_archive.h"
#include "tests/archive/archive_test_support.h"
#include "tests/support/scratch_dir.h"

namespace {

// Three results share the hex form of the codes, so failures print them so.
::testing::AssertionResult Gives(int expected, int actual)
{
    if (expected == actual)
        return ::testing::AssertionSuccess();
    char text[64];
    snprintf(text, sizeof text, "expected %#x, got %#x (last error %lu)", expected, actual, GetLastError());
    return ::testing::AssertionFailure() << text;
}

DWORD AttributesOf(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str());
}

class Extraction : public ::testing::Test {
protected:
    ScratchDir scratch;
    std::wstring dest = scratch / L"dest\\";
};

}  // namespace

TEST_F(Extraction, DirectoryEntryThenFileGetsTheEntryTimes)
{
    ASSERT_TRUE(Gives(0, Extract(Fixture(L"dir_then_file.zip"), dest)));
    EXPECT_TRUE(AttributesOf(dest + L"bin") & FILE_ATTRIBUTE_DIRECTORY);
    FileTimes times = TimesOf(dest + L"bin\\a.dll");
    EXPECT_EQ("2019-05-17 13:45:22", LocalText(times.write));
    EXPECT_EQ("2019-05-17 13:45:22", LocalText(times.access));
    EXPECT_EQ("2019-05-17 13:45:22", LocalText(times.creation));
    EXPECT_EQ("MZ" + std::string(3000, '\x90'), ReadFileBytes(dest + L"bin\\a.dll"));
}

TEST_F(Extraction, NestedFileMakesItsFoldersAndStrippedNamesLandBelowTheDestination)
{
    ASSERT_TRUE(Gives(0, Extract(Fixture(L"nested.zip"), dest)));
    EXPECT_EQ("nested\n", ReadFileBytes(dest + L"x\\y\\z.txt"));

    ASSERT_TRUE(Gives(0, Extract(Fixture(L"prefixes.zip"), dest)));
    const wchar_t* expected[] = {L"drive.txt", L"back.txt", L"slash.txt", L"b.txt",           L"c.txt",
                                 L"d\\e.txt",  L"f.txt",    L"目录乗\\文件.txt"};
    for (size_t i = 0; i < std::size(expected); ++i)
        EXPECT_EQ(std::to_string(i + 1), ReadFileBytes(dest + expected[i])) << "entry " << i;
    EXPECT_FALSE(FileExists(dest + L"a"));
}

// Names flagged UTF-8 (bit 11) install exactly as the archive holds them,
// whatever the code page (936 in the tests) could hold.
TEST_F(Extraction, NamesFlaggedUtf8InstallExactlyOnAnyCodePage)
{
    ASSERT_TRUE(Gives(0, Extract(Fixture(L"utf8_names.zip"), dest)));
    std::string bytes;
    for (int i = 0; i < 256; ++i)
        bytes += static_cast<char>(i);
    const std::pair<const wchar_t*, std::string> expected[] = {
        {L"Ωμέγα\\smörgåsbord.txt", "\xCE\xA9\xCE\xBC\xCE\xAD\xCE\xB3\xCE\xB1 sm\xC3\xB6rg\xC3\xA5sbord \xF0\x9F\x8E\xAE\n"},
        {L"🎮.bin", bytes},
        {L"\u00C0.txt", "A grave"},
        {L"目录乗\\文件.txt", "utf8"}};
    // The names as the directory lists them: Wine finds "à.txt" (a best
    // fit through the code page) when asked for "À.txt".
    TreeSnapshot tree = SnapshotTree(dest, {});
    EXPECT_EQ(6u, tree.size()) << TreeChanges({}, tree);
    for (const auto& [name, data] : expected) {
        EXPECT_TRUE(tree.count(dest + name)) << name;
        EXPECT_EQ(data, ReadFileBytes(dest + name)) << name;
    }
}

// Win32 would drop them; the long form would keep them and make names that
// no other program can open.
TEST_F(Extraction, TrailingDotsSpacesAndDotComponentsGoAsWin32DropsThem)
{
    ASSERT_TRUE(Gives(0, Extract(Fixture(L"dots.zip"), dest)));
    EXPECT_EQ("1", ReadFileBytes(dest + L"trail\\name .txt"));
    EXPECT_EQ("2", ReadFileBytes(dest + L"here\\x.txt"));
    EXPECT_EQ(4u, SnapshotTree(dest, {}).size());
}

// A destination and files far beyond the 259 characters of the ANSI file
// functions; the destination itself is made with its parents.
TEST_F(Extraction, PathsBeyond259CharactersInstall)
{
    std::wstring deep = L"\\\\?\\" + scratch / (std::wstring(150, L'L') + L"\\" + std::wstring(150, L'M') + L"\\");
    ASSERT_GT(deep.size(), 300u);
    ASSERT_TRUE(Gives(0, Extract(Fixture(L"long_path.zip"), deep)));
    std::wstring file = deep + std::wstring(120, L'd') + L"\\" + std::wstring(136, L'f') + L".txt";
    EXPECT_EQ("long", ReadFileBytes(file));
    // The same destination without the prefix, as the worker passes it.
    ASSERT_TRUE(Gives(0, Extract(Fixture(L"nested.zip"), deep.substr(4))));
    EXPECT_EQ("nested\n", ReadFileBytes(deep + L"x\\y\\z.txt"));
    EXPECT_TRUE(DestinationAttributes(deep.substr(4).c_str()) & FILE_ATTRIBUTE_DIRECTORY);
}

TEST_F(Extraction, TimesComeFromTheUtBlockOrTheDosTimeOrTheFileSystem)
{
    FILETIME before;
    GetSystemTimeAsFileTime(&before);
    ASSERT_TRUE(Gives(0, Extract(Fixture(L"times.zip"), dest)));

    FileTimes utWrite = TimesOf(dest + L"ut_write.txt");
    EXPECT_EQ(Ticks(FromUnixTime(1500000000)), Ticks(utWrite.write));
    EXPECT_EQ("2010-01-02 03:04:06", LocalText(utWrite.access));

    FileTimes utAll = TimesOf(dest + L"ut_all.txt");
    EXPECT_EQ(Ticks(FromUnixTime(1400000000)), Ticks(utAll.write));
    EXPECT_EQ(Ticks(FromUnixTime(1400000100)), Ticks(utAll.access));

    // No usable DOS time: the times the file got when it was made stay.
    const unsigned long long slack = 2 * 10000000ULL;
    FileTimes zero = TimesOf(dest + L"zero_dos.txt");
    EXPECT_GE(Ticks(zero.write) + slack, Ticks(before)) << LocalText(zero.write);
    EXPECT_GE(Ticks(zero.access) + slack, Ticks(before)) << LocalText(zero.access);
    FileTimes feb30 = TimesOf(dest + L"feb30_ut.txt");
    EXPECT_EQ(Ticks(FromUnixTime(1234567890)), Ticks(feb30.write));
    EXPECT_GE(Ticks(feb30.access) + slack, Ticks(before)) << LocalText(feb30.access);
}

TEST_F(Extraction, AttributesFollowTheHostOfTheEntryAndDoNotBlockAReinstall)
{
    ASSERT_TRUE(Gives(0, Extract(Fixture(L"attributes.zip"), dest)));
    EXPECT_TRUE(AttributesOf(dest + L"ro.txt") & FILE_ATTRIBUTE_READONLY);
    EXPECT_FALSE(AttributesOf(dest + L"rw.txt") & FILE_ATTRIBUTE_READONLY);
    EXPECT_TRUE(AttributesOf(dest + L"unixdir") & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_EQ("i", ReadFileBytes(dest + L"unixdir\\in.txt"));
    EXPECT_TRUE(AttributesOf(dest + L"hidden.txt") & FILE_ATTRIBUTE_HIDDEN);
    EXPECT_TRUE(AttributesOf(dest + L"dosro.txt") & FILE_ATTRIBUTE_READONLY);
    EXPECT_TRUE(AttributesOf(dest + L"system.txt") & FILE_ATTRIBUTE_SYSTEM);
    EXPECT_EQ("r", ReadFileBytes(dest + L"ro.txt"));

    // What the first installation left is replaced. Windows refuses such
    // files to CREATE_ALWAYS; Wine run as root does not, so here only the
    // outcome is held.
    const std::pair<const wchar_t*, const char*> left[] = {
        {L"ro.txt", "r"}, {L"hidden.txt", "h"}, {L"dosro.txt", "d"}, {L"system.txt", "s"}};
    for (const auto& [name, data] : left) {
        DWORD attributes = AttributesOf(dest + name);
        SetFileAttributesW((dest + name).c_str(), FILE_ATTRIBUTE_NORMAL);
        WriteFileBytes(dest + name, "stale");
        SetFileAttributesW((dest + name).c_str(), attributes);
    }
    ASSERT_TRUE(Gives(0, Extract(Fixture(L"attributes.zip"), dest)));
    for (const auto& [name, data] : left)
        EXPECT_EQ(data, ReadFileBytes(dest + name)) << name;
    EXPECT_TRUE(AttributesOf(dest + L"hidden.txt") & FILE_ATTRIBUTE_HIDDEN);
    EXPECT_TRUE(AttributesOf(dest + L"ro.txt") & FILE_ATTRIBUTE_READONLY);
}

TEST_F(Extraction, EmptyStoredAndDeflatedEntriesCountAsExtracted)
{
    ASSERT_TRUE(Gives(0, Extract(Fixture(L"empty.zip"), dest)));
    EXPECT_TRUE(FileExists(dest + L"empty_stored.txt"));
    EXPECT_TRUE(FileExists(dest + L"empty_deflated.txt"));
    EXPECT_EQ("", ReadFileBytes(dest + L"empty_deflated.txt"));
    EXPECT_EQ("after", ReadFileBytes(dest + L"after_empty.txt"));
}

TEST_F(Extraction, DestinationIsCheckedAndMadeBeforeTheArchiveIsRead)
{
    WriteFileBytes(scratch / L"file", "x");
    EXPECT_TRUE(Gives(EXTRACT_DEST_NOT_DIRECTORY, Extract(Fixture(L"nested.zip"), scratch / L"file")));
    // The install root always comes with its trailing separator.
    EXPECT_TRUE(Gives(EXTRACT_DEST_NOT_DIRECTORY, Extract(Fixture(L"nested.zip"), scratch / L"file\\")));
    EXPECT_TRUE(Gives(EXTRACT_DEST_NOT_CREATED, Extract(Fixture(L"nested.zip"), scratch / L"file\\below\\")));
    EXPECT_TRUE(Gives(ARCHIVE_BAD_ARGUMENTS, Extract(scratch / L"missing.zip", dest)));
    // The destination is made, with its parents, before the archive is read.
    EXPECT_TRUE(AttributesOf(dest) & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_TRUE(Gives(0, Extract(Fixture(L"nested.zip"), scratch / L"p\\q\\r")));
    EXPECT_TRUE(FileExists(scratch / L"p\\q\\r\\x\\y\\z.txt"));
}

TEST_F(Extraction, AFileHeldOpenByAnotherProcessStopsTheWalk)
{
    CreateDirectoryW(dest.c_str(), nullptr);
    std::wstring tag = std::to_wstring(GetCurrentProcessId());
    UniqueHandle ready(CreateEventW(nullptr, TRUE, FALSE, (L"archive_ready_" + tag).c_str()));
    UniqueHandle release(CreateEventW(nullptr, TRUE, FALSE, (L"archive_release_" + tag).c_str()));
    std::wstring command = L"\"" + BuildPath(L"tests/archive/archive_file_holder.exe") + L"\" \"" + dest +
                           L"held.txt\" archive_ready_" + tag + L" archive_release_" + tag;
    STARTUPINFOW startup = {sizeof startup};
    PROCESS_INFORMATION info;
    ASSERT_TRUE(CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
        << GetLastError();
    UniqueHandle process(info.hProcess), thread(info.hThread);
    HANDLE waits[] = {ready.get(), process.get()};
    ASSERT_EQ(WAIT_OBJECT_0, WaitForMultipleObjects(2, waits, FALSE, 30000));

    int result = Extract(Fixture(L"held.zip"), dest);
    DWORD error = GetLastError();
    SetEvent(release.get());
    WaitForSingleObject(process.get(), 30000);

    EXPECT_TRUE(Gives(ARCHIVE_CANNOT_CREATE_FILE, result));
    EXPECT_EQ(static_cast<DWORD>(ERROR_SHARING_VIOLATION), error);
    EXPECT_FALSE(FileExists(dest + L"after_held.txt"));
}

// Not held, and no fault of the archive: the ANSI code took it for one.
TEST_F(Extraction, AFolderInTheWayOfAFileIsALocalFailure)
{
    CreateDirectoryW(dest.c_str(), nullptr);
    CreateDirectoryW((dest + L"held.txt").c_str(), nullptr);
    int result = Extract(Fixture(L"held.zip"), dest);
    DWORD error = GetLastError();
    EXPECT_TRUE(Gives(ARCHIVE_WRITE_FAILED, result));
    EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED), error);
    EXPECT_FALSE(FileExists(dest + L"after_held.txt"));
}

// The tests' fixture mounts a 50 MB tmpfs (as root); a 60 MB entry fills it.
TEST_F(Extraction, AFullDiskIsALocalFailureAndKeepsNoPartialFile)
{
    const char* small = getenv("LOBBY_SMALL_DISK");
    std::wstring disk = small ? WindowsFolder(small) : L"";
    ULARGE_INTEGER free = {};
    if (disk.empty() || !GetDiskFreeSpaceExW(disk.c_str(), &free, nullptr, nullptr) || free.QuadPart >= 55ull << 20)
        GTEST_SKIP() << "no small disk: a 50 MB tmpfs could not be mounted on this host";
    std::wstring target = disk + L"dest\\";
    RemoveTree(target);
    int result = Extract(Fixture(L"big.zip"), target);
    DWORD error = GetLastError();
    EXPECT_TRUE(Gives(ARCHIVE_WRITE_FAILED, result));
    EXPECT_EQ(static_cast<DWORD>(ERROR_DISK_FULL), error);
    EXPECT_EQ("1", ReadFileBytes(target + L"first.txt"));
    EXPECT_FALSE(FileExists(target + L"big.bin"));
    EXPECT_FALSE(FileExists(target + L"after.txt"));
    RemoveTree(target);
}

// Deflated and stored, checked against the DOS time (data descriptor) or
// the CRC's high byte; a wrong password that passes the check byte by
// chance still fails on the CRC instead of installing garbage. A failing
// entry leaves no file.
TEST_F(Extraction, EncryptedEntryNeedsTheRightPassword)
{
    std::string expected;
    for (int i = 0; i < 200; ++i)
        expected += "locked content\n";
    int n = 0;
    for (const wchar_t* archive : {L"encrypted.zip", L"encrypted_stored.zip", L"encrypted_crc.zip"}) {
        SCOPED_TRACE(testing::Message() << "archive " << archive);
        std::wstring none = scratch / (L"none" + std::to_wstring(n) + L"\\");
        std::wstring right = scratch / (L"right" + std::to_wstring(n++) + L"\\");
        EXPECT_TRUE(Gives(ARCHIVE_BAD_PASSWORD, Extract(Fixture(archive), none)));
        EXPECT_FALSE(FileExists(none + L"plain.txt"));
        EXPECT_TRUE(Gives(0, Extract(Fixture(archive), right, "secret")));
        EXPECT_EQ(expected, ReadFileBytes(right + L"plain.txt"));
    }
    std::string wrong = ReadFileBytes(Fixture(L"wrong_password.txt"));
    ASSERT_FALSE(wrong.empty());
    EXPECT_TRUE(Gives(ARCHIVE_INFLATE_FAILED, Extract(Fixture(L"encrypted_crc.zip"), dest, wrong.c_str())));
    EXPECT_FALSE(FileExists(dest + L"plain.txt"));
}
