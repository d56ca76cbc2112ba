#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <memory>
#include <set>
#include <sstream>

#include "archive/archive_result.h"
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
void ExpectFailsLeaving(const wchar_t* archive, uint32_t expected, std::set<std::wstring> left)
{
    SCOPED_TRACE(testing::Message() << "archive " << ToAnsi(archive));
    ScratchDir scratch;
    int result = Extract(Fixture(archive), scratch.path());
    EXPECT_EQ(static_cast<int>(expected), result) << std::hex << result;
    std::set<std::wstring> found;
    for (const auto& [path, what] : SnapshotTree(scratch.path(), {}))
        found.insert(path.substr(scratch.path().size()));
    EXPECT_EQ(left, found);
}

}  // namespace

// The destinations sit deep in drive C of the prefix, and so does the
// current directory (drive-relative names resolve against it); whatever the
// name, nothing may appear or change anywhere on that drive outside them.
TEST(HostileArchive, NoEscapeWritesOutsideTheDestination_FixedFault)
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
        SCOPED_TRACE(testing::Message() << "archive " << ToAnsi(cases[i].archive.c_str()));
        int result = Extract(Fixture(cases[i].archive), destinations[i]);
        EXPECT_EQ(cases[i].expected, result) << std::hex << result;
        EXPECT_EQ("1", ReadFileBytes(destinations[i] + L"first.txt"));
        // A refused entry ends the walk and leaves nothing of itself; a name
        // made harmless does not.
        EXPECT_EQ(cases[i].expected == 0, FileExists(destinations[i] + L"after.txt"));
        if (cases[i].expected != 0) {
            EXPECT_EQ(1u, SnapshotTree(destinations[i], {}).size()) << ToAnsi(destinations[i].c_str());
        }
    }

    TreeSnapshot after = SnapshotTree(L"C:\\", destinations);
    SetCurrentDirectoryW(previous);
    EXPECT_EQ(L"", TreeChanges(before, after));
    EXPECT_GT(before.size(), 500u);
}

TEST(HostileArchive, DataThatFailsItsCrcOrEndsEarlyIsNotInstalledAsGood_FixedFault)
{
    ExpectFailsLeaving(L"crc.zip", ARCHIVE_INFLATE_FAILED, {L"first.txt"});
    ExpectFailsLeaving(L"crc_stored.zip", ARCHIVE_INFLATE_FAILED, {});
    ExpectFailsLeaving(L"short_data.zip", ARCHIVE_INFLATE_FAILED, {});
    // Claims bytes and stores none: no empty file either.
    ExpectFailsLeaving(L"no_data.zip", ARCHIVE_INFLATE_FAILED, {});
}

// None of these is a file held open: 0x200 would make the installer start
// whatever client is there as if it were running.
TEST(HostileArchive, TargetsThatCannotBeCreatedOrNamedAreCorrupt_FixedFault)
{
    ExpectFailsLeaving(L"symlink.zip", ARCHIVE_CORRUPT, {L"first.txt", L"link"});
    ExpectFailsLeaving(L"wildcard_name.zip", ARCHIVE_CORRUPT, {L"first.txt"});
    ExpectFailsLeaving(L"utf8_not_gbk_0.zip", ARCHIVE_CORRUPT, {L"first.txt"});
    ExpectFailsLeaving(L"utf8_not_gbk_1.zip", ARCHIVE_CORRUPT, {L"first.txt"});
    ExpectFailsLeaving(L"utf8_invalid.zip", ARCHIVE_CORRUPT, {L"first.txt"});
}

TEST(HostileArchive, BrokenArchivesFailCleanly)
{
    ScratchDir scratch;
    WriteFileBytes(scratch / L"empty.zip", "");
    for (const std::wstring& archive :
         {Fixture(L"truncated.zip"), Fixture(L"not_a_zip.zip"), scratch / L"empty.zip"}) {
        ScratchDir dest;
        int result = Extract(archive, dest.path());
        EXPECT_EQ(static_cast<int>(ARCHIVE_BAD_ARGUMENTS), result) << ToAnsi(archive.c_str());
    }
}

TEST(HostileArchive, LocalHeadersMustAgreeWithTheCentralDirectory)
{
    ExpectFailsLeaving(L"local_mismatch.zip", ARCHIVE_CORRUPT, {L"first.txt"});
    ExpectFailsLeaving(L"local_size.zip", ARCHIVE_CORRUPT, {});
    ExpectFailsLeaving(L"local_extra.zip", ARCHIVE_READ_FAILED, {});
}

TEST(HostileArchive, OverLongNamesAndPathsFailWithoutOverrunning_FixedFault)
{
    ExpectFailsLeaving(L"long_name.zip", ARCHIVE_CORRUPT, {});
    ExpectFailsLeaving(L"long_path.zip", ARCHIVE_CORRUPT, {});
}

TEST(ZipReader, EntryInfoSummaryRangeAndRevisits)
{
    auto reader = ZipReader::Open(ToAnsi(Fixture(L"prefixes.zip").c_str()).c_str(), nullptr);
    ASSERT_TRUE(reader);
    ZipEntry entry;
    memset(&entry, 0xcc, sizeof entry);
    ASSERT_EQ(ARCHIVE_OK, reader->EntryInfo(-1, &entry));
    EXPECT_EQ(8, entry.index);
    EXPECT_EQ('\0', entry.name[0]);
    EXPECT_EQ(0u, entry.attributes);
    EXPECT_EQ(ARCHIVE_BAD_ARGUMENTS, reader->EntryInfo(8, &entry));
    EXPECT_EQ(ARCHIVE_BAD_ARGUMENTS, reader->EntryInfo(-2, &entry));

    ASSERT_EQ(ARCHIVE_OK, reader->EntryInfo(4, &entry));
    EXPECT_STREQ("c.txt", entry.name);
    EXPECT_EQ(4, entry.index);
    ASSERT_EQ(ARCHIVE_OK, reader->EntryInfo(1, &entry));
    EXPECT_STREQ("back.txt", entry.name);
    EXPECT_EQ(1, entry.compressedSize == 0 ? 0 : 1);
    EXPECT_EQ(1, entry.uncompressedSize);

    EXPECT_EQ(ARCHIVE_OK, CloseZipReader(std::move(reader)));
    EXPECT_EQ(ARCHIVE_BAD_ARGUMENTS, CloseZipReader(nullptr));
    EXPECT_FALSE(ZipReader::Open("Z:\\no\\such\\archive.zip", nullptr));
}

TEST(ZipReader, ExtractEntryTakesAbsoluteAndRelativeTargets)
{
    ScratchDir scratch;
    auto reader = ZipReader::Open(ToAnsi(Fixture(L"nested.zip").c_str()).c_str(), nullptr);
    ASSERT_TRUE(reader);
    reader->SetBaseDirectory(ToAnsi((scratch / L"base").c_str()).c_str());
    EXPECT_EQ("\\", reader->baseDirectory().substr(reader->baseDirectory().size() - 1));
    EXPECT_EQ(ARCHIVE_OK, reader->ExtractEntry(0, "one/two.txt"));
    EXPECT_EQ("nested\n", ReadFileBytes(scratch / L"base\\one\\two.txt"));
    EXPECT_EQ(ARCHIVE_OK, reader->ExtractEntry(0, ToAnsi((scratch / L"abs\\three.txt").c_str()).c_str()));
    EXPECT_EQ("nested\n", ReadFileBytes(scratch / L"abs\\three.txt"));
    EXPECT_EQ(ARCHIVE_BAD_ARGUMENTS, reader->ExtractEntry(1, "x.txt"));
}
