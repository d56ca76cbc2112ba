// Result codes of the archive layer and of ExtractArchive.
#pragma once

#include <cstdint>

constexpr uint32_t ARCHIVE_OK = 0x00000000;
// A target file exists and cannot be opened for writing: someone holds it
// (sharing or lock violation, or access denied on the file). The installed
// client is running; the worker starts it.
constexpr uint32_t ARCHIVE_CANNOT_CREATE_FILE = 0x00000200;
// The destination refused a folder, a file or its bytes: a local failure
// (a path too long even for the long form, access denied on a folder, a
// full disk, a name the file system will not take, a folder that cannot be
// made). Another attempt with the same archive may succeed.
constexpr uint32_t ARCHIVE_WRITE_FAILED = 0x00000400;
// A fault of the archive: a local header that disagrees with the central
// directory, or a name the archive must not use (one that climbs out of
// the destination, names a stream or a device, or is invalid UTF-8).
constexpr uint32_t ARCHIVE_CORRUPT = 0x00000700;
constexpr uint32_t ARCHIVE_READ_FAILED = 0x00000800;
constexpr uint32_t ARCHIVE_BAD_PASSWORD = 0x00001000;
// Also what ExtractArchive returns for an archive that cannot be opened or
// has no readable central directory.
constexpr uint32_t ARCHIVE_BAD_ARGUMENTS = 0x00010000;
// Data unreadable, not inflatable, short, or failing its CRC-32.
constexpr uint32_t ARCHIVE_INFLATE_FAILED = 0x05000000;

constexpr int EXTRACT_DEST_NOT_CREATED = -2;
constexpr int EXTRACT_DEST_NOT_DIRECTORY = -3;
// The channel takes signed archives only, and this one's signature is
// missing or does not hold: nothing of it was extracted.
constexpr int EXTRACT_SIGNATURE_REFUSED = -4;

// True for results that condemn the archive's bytes (its structure, a CRC,
// the inflated data, a forbidden name or its signature): they would fail the
// same way on every later attempt, so the file must not be used again. Local failures,
// a held file, a wrong password, destination problems and success: false.
constexpr bool ArchiveBytesAreBad(int code)
{
    switch (static_cast<uint32_t>(code)) {
    case ARCHIVE_CORRUPT:
    case ARCHIVE_READ_FAILED:
    case ARCHIVE_BAD_ARGUMENTS:
    case ARCHIVE_INFLATE_FAILED:
    case static_cast<uint32_t>(EXTRACT_SIGNATURE_REFUSED):
        return true;
    default:
        return false;
    }
}
