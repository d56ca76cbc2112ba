// What the files say under Wine after extraction, against the records the
// reader gives for their entries.
#include <gtest/gtest.h>

#include <windows.h>

#include "base/ansi_text.h"
#include "base/unique_resource.h"
#include "archive/zip_reader.h"
#include "tests/archive/archive_test_support.h"
#include "tests/support/scratch_dir.h"

namespace {

constexpr DWORD kKeptBits = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                            FILE_ATTRIBUTE_DIRECTORY;

std::vector<ZipEntry> Entries(const std::wstring& archive)
{
    std::vector<ZipEntry> entries;
    UniqueFile file = OpenArchive(archive);
    auto reader = ZipReader::Open(file.get(), nullptr);
    if (!reader)
        return entries;
    ZipEntry summary;
    reader->EntryInfo(-1, &summary);
    for (int i = 0; i < summary.index; ++i) {
        ZipEntry entry = PoisonedEntry();
        if (reader->EntryInfo(i, &entry) == ARCHIVE_OK)
            entries.push_back(entry);
    }
    return entries;
}

void ExpectFilesMatchTheirEntries(const wchar_t* archive, size_t count)
{
    SCOPED_TRACE(testing::Message() << "archive " << ToAnsi(archive));
    ScratchDir dest;
    ASSERT_EQ(0, Extract(Fixture(archive), dest.path()));
    std::vector<ZipEntry> entries = Entries(Fixture(archive));
    ASSERT_EQ(count, entries.size());
    for (const ZipEntry& entry : entries) {
        SCOPED_TRACE(entry.name);
        std::wstring path = dest / entry.name;
        WIN32_FILE_ATTRIBUTE_DATA data;
        SetLastError(0xdeadbeef);
        ASSERT_TRUE(GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) << GetLastError();
        EXPECT_EQ(entry.attributes & kKeptBits, data.dwFileAttributes & kKeptBits)
            << std::hex << entry.attributes << " read back " << data.dwFileAttributes;
        if (entry.attributes & FILE_ATTRIBUTE_DIRECTORY)
            continue;
        // Entries without a usable time keep what the file system gave them.
        if (Ticks(entry.writeTime)) {
            EXPECT_EQ(Ticks(entry.writeTime), Ticks(data.ftLastWriteTime)) << LocalText(data.ftLastWriteTime);
        }
        if (Ticks(entry.accessTime)) {
            EXPECT_EQ(Ticks(entry.accessTime), Ticks(data.ftLastAccessTime)) << LocalText(data.ftLastAccessTime);
        }
        // Wine cannot set a creation time on a Unix file system; it reports
        // one derived from the other times, so only the record is checked.
    }
}

}  // namespace

TEST(ReadBack, TimesAndAttributesOfTheWrittenFilesAreTheEntries)
{
    ExpectFilesMatchTheirEntries(L"times.zip", 4);
    ExpectFilesMatchTheirEntries(L"attributes.zip", 7);
    ExpectFilesMatchTheirEntries(L"dir_then_file.zip", 2);
}

TEST(ReadBack, EntryRecordsCarryTheTimesOfTheirHeaders)
{
    std::vector<ZipEntry> entries = Entries(Fixture(L"times.zip"));
    ASSERT_EQ(4u, entries.size());
    // UT block with write time only: the other two from the DOS time.
    EXPECT_EQ(L"ut_write.txt", entries[0].name);
    EXPECT_EQ(Ticks(FromUnixTime(1500000000)), Ticks(entries[0].writeTime));
    EXPECT_EQ("2010-01-02 03:04:06", LocalText(entries[0].accessTime));
    EXPECT_EQ("2010-01-02 03:04:06", LocalText(entries[0].creationTime));
    // All three in the UT block, in flag order.
    EXPECT_EQ(Ticks(FromUnixTime(1400000000)), Ticks(entries[1].writeTime));
    EXPECT_EQ(Ticks(FromUnixTime(1400000100)), Ticks(entries[1].accessTime));
    EXPECT_EQ(Ticks(FromUnixTime(1300000000)), Ticks(entries[1].creationTime));
    // An all-zero DOS time gives no time at all rather than a made-up one.
    EXPECT_EQ(0u, Ticks(entries[2].writeTime));
    EXPECT_EQ(0u, Ticks(entries[2].accessTime));
    EXPECT_EQ(0u, Ticks(entries[2].creationTime));
    EXPECT_EQ(Ticks(FromUnixTime(1234567890)), Ticks(entries[3].writeTime));
    EXPECT_EQ(0u, Ticks(entries[3].creationTime));
}
