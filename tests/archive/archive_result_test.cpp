#include <gtest/gtest.h>

#include "archive/archive_result.h"

// The worker deletes the downloaded archive for these and keeps it otherwise.
TEST(ArchiveBytesAreBad, OnlyForFaultsOfTheArchive)
{
    for (uint32_t code : {ARCHIVE_CORRUPT, ARCHIVE_READ_FAILED, ARCHIVE_BAD_ARGUMENTS, ARCHIVE_INFLATE_FAILED,
                          static_cast<uint32_t>(EXTRACT_SIGNATURE_REFUSED)})
        EXPECT_TRUE(ArchiveBytesAreBad(static_cast<int>(code))) << std::hex << code;
    for (int code : {static_cast<int>(ARCHIVE_OK), static_cast<int>(ARCHIVE_CANNOT_CREATE_FILE),
                     static_cast<int>(ARCHIVE_WRITE_FAILED), static_cast<int>(ARCHIVE_BAD_PASSWORD),
                     EXTRACT_DEST_NOT_CREATED, EXTRACT_DEST_NOT_DIRECTORY, 0x100, -1})
        EXPECT_FALSE(ArchiveBytesAreBad(code)) << std::hex << code;
}
