#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <memory>
#include <set>
#include <sstream>

#include "archive/archive_result.h"
#include "archive/extract_archive.h"
#include "archive/zip_reader.h"
#include "base/ansi_text.h"
#include "tests/archive/archive_test_support.h"
#include "tests/support/scratch_dir.h"

namespace {

struct Case {
    std::wstring archive;
    int expected;
};

std::vector<Case> EscapeCases()
{
    std::vector<Case> cases;
    std::istringstream listing(ReadFileBytes(Fixture(L"escapes.txt")));
    std::string name;
    int expected;
    while (listing >> name >> std::hex >> expected)
        cases.push_back({std::wstring(name.begin(), name.end()), expected});
    return cases;
}

// The failing entry leaves no file under its name and the walk ends there:
// the destination holds just `left`, what the entries before it wrote.
// `error`, when given, is the last error the failure leaves.
void ExpectFailsLeaving(const wchar_t* archive, uint32_t expected, std::set<std::wstring> left, DWORD error = 0)
{
    SCOPED_TRACE(testing::Message() << "archive " << archive);
    ScratchDir scratch;
    int result = Extract(Fixture(archive), scratch.path());
    DWORD lastError = GetLastError();
    EXPECT_EQ(static_cast<int>(expected), result) << std::hex << result;
    if (error != 0) {
        EXPECT_EQ(error, lastError);
    }
    std::set<std::wstring> found;
    for (const auto& [path, what] : SnapshotTree(scratch.path(), {}))
        found.insert(path.substr(scratch.path().size()));
    EXPECT_EQ(left, found);
}

}  // namespace

// The destinations sit deep in drive C of the prefix, and so does the
// current directory (drive-relative names resolve against it); whatever the
// name, nothing may appear or change anywhere on that drive outside them.
TEST(HostileArchive, NoEntryNameWritesOutsideTheDestination)
{
    std::vector<Case> cases = EscapeCases();
    ASSERT_GE(cases.size(), 10u);
    std::vector<std::unique_ptr<ScratchDir>> scratches;
    std::vector<std::wstring> destinations;
    for (size_t i = 0; i < cases.size(); ++i) {
        scratches.push_back(std::make_unique<ScratchDir>());
        destinations.push_back(*scratches.back() / L"deep\\dest\\");
        CreateDirectoryW((*scratches.back() / L"deep").c_str(), nullptr);
        CreateDirectoryW(destinations.back().c_str(), nullptr);
    }
    ScratchDir cwd;
    wchar_t previous[MAX_PATH];
    ASSERT_TRUE(GetCurrentDirectoryW(MAX_PATH, previous));
    ASSERT_TRUE(SetCurrentDirectoryW(cwd.path().c_str()));
    TreeSnapshot before = SnapshotTree(L"C:\\", destinations);

    for (size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(testing::Message() << "archive " << cases[i].archive);
        int result = Extract(Fixture(cases[i].archive), destinations[i]);
        DWORD error = GetLastError();
        EXPECT_EQ(cases[i].expected, result) << std::hex << result;
        if (cases[i].expected != 0) {
            EXPECT_TRUE(error == ERROR_BAD_PATHNAME || error == ERROR_NO_UNICODE_TRANSLATION) << error;
        }
        EXPECT_EQ("1", ReadFileBytes(destinations[i] + L"first.txt"));
        // A refused entry ends the walk and leaves nothing of itself; a name
        // made harmless does not.
        EXPECT_EQ(cases[i].expected == 0, FileExists(destinations[i] + L"after.txt"));
        if (cases[i].expected != 0) {
            EXPECT_EQ(1u, SnapshotTree(destinations[i], {}).size()) << destinations[i];
        }
    }

    TreeSnapshot after = SnapshotTree(L"C:\\", destinations);
    SetCurrentDirectoryW(previous);
    EXPECT_EQ(L"", TreeChanges(before, after));
    EXPECT_GT(before.size(), 500u);
}

TEST(HostileArchive, DataThatFailsItsCrcOrEndsEarlyIsNotInstalledAsGood)
{
    ExpectFailsLeaving(L"crc.zip", ARCHIVE_INFLATE_FAILED, {L"first.txt"});
    ExpectFailsLeaving(L"crc_stored.zip", ARCHIVE_INFLATE_FAILED, {});
    ExpectFailsLeaving(L"short_data.zip", ARCHIVE_INFLATE_FAILED, {});
    // Claims bytes and stores none: no empty file either.
    ExpectFailsLeaving(L"no_data.zip", ARCHIVE_INFLATE_FAILED, {});
}

TEST(HostileArchive, FailuresComeInEntryOrderWhateverIsReadAhead)
{
    ExpectFailsLeaving(L"bad_after_big.zip", ARCHIVE_INFLATE_FAILED, {L"big.txt"});
    ExpectFailsLeaving(L"bad_after_unwritable.zip", ARCHIVE_WRITE_FAILED, {L"first.txt"});
    ExpectFailsLeaving(L"bad_duplicate.zip", ARCHIVE_INFLATE_FAILED, {});
    ScratchDir scratch;
    Extract(Fixture(L"bad_after_big.zip"), scratch.path());
    std::string big = ReadFileBytes(scratch / L"big.txt");
    EXPECT_EQ(40000u * 30, big.size());
    EXPECT_EQ("line 0039999 of the big entry\n", big.substr(big.size() - 30));
}

TEST(HostileArchive, NamesThatAreNotUtf8DespiteTheirFlagAreCorrupt)
{
    ExpectFailsLeaving(L"utf8_invalid.zip", ARCHIVE_CORRUPT, {L"first.txt"}, ERROR_NO_UNICODE_TRANSLATION);
}

// The destination refused them: another attempt with the same archive may
// do better elsewhere, and none is a file held open (0x200 would make the
// installer start whatever client is there as if it were running). These
// gave 0x700 before the extraction told local failures from bad archives.
TEST(HostileArchive, TargetsTheDestinationRefusesAreLocalFailures)
{
    // The link's target, written as a plain file, is in the way of a folder.
    ExpectFailsLeaving(L"symlink.zip", ARCHIVE_WRITE_FAILED, {L"first.txt", L"link"});
    ExpectFailsLeaving(L"wildcard_name.zip", ARCHIVE_WRITE_FAILED, {L"first.txt"});
    // One component longer than the file system takes.
    ExpectFailsLeaving(L"long_name.zip", ARCHIVE_WRITE_FAILED, {});
    // Longer than even the long form takes: refused before any of its
    // folders is made. (Wine's own limit is the Unix one, 4096 bytes; on
    // Windows only the long form's 32767 characters hold.)
    ExpectFailsLeaving(L"too_long_path.zip", ARCHIVE_WRITE_FAILED, {L"first.txt"}, ERROR_FILENAME_EXCED_RANGE);
}

TEST(HostileArchive, BrokenArchivesFailCleanly)
{
    ScratchDir scratch;
    WriteFileBytes(scratch / L"empty.zip", "");
    for (const std::wstring& archive :
         {Fixture(L"truncated.zip"), Fixture(L"not_a_zip.zip"), scratch / L"empty.zip"}) {
        ScratchDir dest;
        int result = Extract(archive, dest.path());
        EXPECT_EQ(static_cast<int>(ARCHIVE_BAD_ARGUMENTS), result) << archive;
    }
}

TEST(HostileArchive, LocalHeadersMustAgreeWithTheCentralDirectory)
{
    ExpectFailsLeaving(L"local_mismatch.zip", ARCHIVE_CORRUPT, {L"first.txt"});
    ExpectFailsLeaving(L"local_size.zip", ARCHIVE_CORRUPT, {});
    ExpectFailsLeaving(L"local_extra.zip", ARCHIVE_READ_FAILED, {});
}

TEST(ZipReader, EntryInfoSummaryRangeAndRevisits)
{
    UniqueFile file = OpenArchive(Fixture(L"prefixes.zip"));
    auto reader = ZipReader::Open(file.get(), nullptr);
    ASSERT_TRUE(reader);
    ZipEntry entry = PoisonedEntry();
    ASSERT_EQ(ARCHIVE_OK, reader->EntryInfo(-1, &entry));
    EXPECT_EQ(8, entry.index);
    EXPECT_EQ(L"", entry.name);
    EXPECT_EQ(0u, entry.attributes);
    EXPECT_EQ(ARCHIVE_BAD_ARGUMENTS, reader->EntryInfo(8, &entry));
    EXPECT_EQ(ARCHIVE_BAD_ARGUMENTS, reader->EntryInfo(-2, &entry));

    ASSERT_EQ(ARCHIVE_OK, reader->EntryInfo(4, &entry));
    EXPECT_EQ(L"c.txt", entry.name);
    EXPECT_EQ(4, entry.index);
    ASSERT_EQ(ARCHIVE_OK, reader->EntryInfo(1, &entry));
    EXPECT_EQ(L"back.txt", entry.name);
    EXPECT_EQ(1, entry.compressedSize == 0 ? 0 : 1);
    EXPECT_EQ(1, entry.uncompressedSize);
    // The GBK name without the UTF-8 flag, in the test's code page 936.
    ASSERT_EQ(ARCHIVE_OK, reader->EntryInfo(7, &entry));
    EXPECT_EQ(L"目录乗\\文件.txt", entry.name);

    EXPECT_EQ(ARCHIVE_OK, CloseZipReader(std::move(reader)));
    EXPECT_EQ(ARCHIVE_BAD_ARGUMENTS, CloseZipReader(nullptr));
    EXPECT_FALSE(ZipReader::Open(INVALID_HANDLE_VALUE, nullptr));
}

// The worker reads the archive's signature through the same handle first:
// the reader must not depend on where that left the file pointer, and the
// handle stays usable after the reader is gone.
TEST(ZipReader, ReadsAtItsOwnOffsetsAndLeavesTheHandleOpen)
{
    ScratchDir scratch;
    UniqueFile file = OpenArchive(Fixture(L"nested.zip"));
    ASSERT_TRUE(file);
    SetFilePointer(file.get(), 7, nullptr, FILE_BEGIN);
    {
        auto reader = ZipReader::Open(file.get(), nullptr);
        ASSERT_TRUE(reader);
        reader->SetBaseDirectory(L"\\\\?\\" + scratch.path().substr(0, scratch.path().size() - 1));
        EXPECT_EQ(L'\\', reader->baseDirectory().back());
        SetFilePointer(file.get(), 3, nullptr, FILE_END);
        EXPECT_EQ(ARCHIVE_OK, reader->ExtractEntry(0));
        EXPECT_EQ(ARCHIVE_BAD_ARGUMENTS, reader->ExtractEntry(1));
    }
    EXPECT_EQ("nested\n", ReadFileBytes(scratch / L"x\\y\\z.txt"));
    char head[2] = {};
    DWORD got = 0;
    OVERLAPPED at = {};
    EXPECT_TRUE(ReadFile(file.get(), head, sizeof head, &got, &at)) << GetLastError();
    EXPECT_EQ("PK", std::string(head, got));
    // The same handle serves a whole extraction, and more than one.
    ScratchDir dest;
    EXPECT_EQ(0, ExtractArchive(file.get(), nullptr, dest.path().c_str()));
    EXPECT_EQ(0, ExtractArchive(file.get(), nullptr, dest.path().c_str()));
    EXPECT_EQ("nested\n", ReadFileBytes(dest / L"x\\y\\z.txt"));
    // A handle opened for overlapped reading serves as well.
    UniqueFile overlapped(CreateFileW(Fixture(L"nested.zip").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr));
    ScratchDir other;
    EXPECT_EQ(0, ExtractArchive(overlapped.get(), nullptr, other.path().c_str()));
    EXPECT_EQ("nested\n", ReadFileBytes(other / L"x\\y\\z.txt"));
}
