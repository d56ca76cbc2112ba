// Writing one entry of an open archive to a file below the base directory.
#include "archive/zip_reader.h"

#include <unzip.h>

#include "archive/encrypted_entry.h"
#include "archive/entry_meta.h"
#include "archive/long_path.h"
#include "archive/make_directory_path.h"
#include "archive/target_file.h"
#include "base/file_io.h"
#include "base/unique_resource.h"

namespace {

// Large enough that writing costs few system calls (each is dear under Wine).
constexpr unsigned kBufferSize = 262144;
constexpr uint32_t kFlagEncrypted = 0x01;
constexpr uint32_t kFlagDataDescriptor = 0x08;

const FILETIME* SetOrNull(const FILETIME& time)
{
    return time.dwLowDateTime || time.dwHighDateTime ? &time : nullptr;
}

}  // namespace

uint32_t ZipReader::ExtractEntry(int index)
{
    CloseEntryData();
    if (index < 0 || index >= count_)
        return ARCHIVE_BAD_ARGUMENTS;
    ZipEntry entry;
    uint32_t info = EntryInfo(index, &entry);
    if (info != ARCHIVE_OK)
        return info;
    if (!MoveTo(index))
        return ARCHIVE_CORRUPT;

    std::wstring path = base_ + entry.name;
    // Checked before any folder of it is made, so that none is left behind.
    if (path.size() >= kLongPathLimit) {
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return Fail(ARCHIVE_WRITE_FAILED);
    }
    // A name ending in a separator cannot be a file, whatever its attributes
    // say; an empty one names the base directory, which exists.
    if ((entry.attributes & ENTRY_DIRECTORY) || entry.name.empty() || entry.name.back() == L'\\') {
        if (!entry.name.empty() && !MakeDirectoryPath(path, base_.size()))
            return Fail(ARCHIVE_WRITE_FAILED);
        return ARCHIVE_OK;
    }

    uint32_t failure = ARCHIVE_OK;
    UniqueFile file = CreateTargetFile(path, base_.size(), entry.attributes & ~ENTRY_DIRECTORY, &failure);
    if (!file)
        return Fail(failure);

    if (!buffer_)
        buffer_ = std::make_unique<char[]>(kBufferSize);
    uint32_t result = cachedFlags_ & kFlagEncrypted ? CopyEncryptedData(file.get()) : CopyPlainData(file.get());
    if (result == ARCHIVE_OK) {
        SetFileTime(file.get(), SetOrNull(entry.creationTime), SetOrNull(entry.accessTime), SetOrNull(entry.writeTime));
        return ARCHIVE_OK;
    }
    // An empty entry reads no data and fails like a corrupt one; the driver
    // forgives that, and its file is empty and right.
    if (entry.uncompressedSize != 0)
        DiscardTargetFile(std::move(file), path);
    return result;
}

uint32_t ZipReader::CopyPlainData(HANDLE file)
{
    unzFile archive = archive_.get();
    if (unzOpenCurrentFile(archive) != UNZ_OK)
        return ARCHIVE_INFLATE_FAILED;
    dataOpen_ = true;
    for (;;) {
        // An empty entry reads 0 bytes at once; the driver forgives that.
        int got = unzReadCurrentFile(archive, buffer_.get(), kBufferSize);
        if (got <= 0)
            return ARCHIVE_INFLATE_FAILED;
        if (!WriteAll(file, buffer_.get(), static_cast<DWORD>(got)))
            return Fail(ARCHIVE_WRITE_FAILED);
        if (unzeof(archive) == 1)
            break;
    }
    // The library compares the CRC-32 when the data is closed after its end.
    dataOpen_ = false;
    return unzCloseCurrentFile(archive) == UNZ_OK ? ARCHIVE_OK : ARCHIVE_INFLATE_FAILED;
}

uint32_t ZipReader::CopyEncryptedData(HANDLE file)
{
    unzFile archive = archive_.get();
    if (unzOpenCurrentFile3(archive, nullptr, nullptr, 1, nullptr) != UNZ_OK)
        return ARCHIVE_INFLATE_FAILED;
    dataOpen_ = true;
    unsigned char header[12];
    if (unzReadCurrentFile(archive, header, sizeof header) != static_cast<int>(sizeof header))
        return ARCHIVE_INFLATE_FAILED;
    // With a data descriptor the CRC is not known when the header is made,
    // so the check byte is the high byte of the DOS time instead.
    unsigned char check = cachedFlags_ & kFlagDataDescriptor ? (cachedDosTime_ >> 8) & 0xFF : cachedCrc_ >> 24;
    EncryptedEntryData data(password_.c_str(), cachedMethod_, cachedUncompressed_);
    if (!data.AcceptHeader(header, check))
        return ARCHIVE_BAD_PASSWORD;

    auto* out = reinterpret_cast<unsigned char*>(buffer_.get());
    while (!data.AtEnd()) {
        int got = data.Produce(out, kBufferSize);
        if (got < 0)
            return ARCHIVE_INFLATE_FAILED;
        if (got > 0) {
            if (!WriteAll(file, buffer_.get(), static_cast<DWORD>(got)))
                return Fail(ARCHIVE_WRITE_FAILED);
            continue;
        }
        int raw = unzReadCurrentFile(archive, data.Input(), data.InputSize());
        if (raw <= 0)
            return ARCHIVE_INFLATE_FAILED;
        data.Feed(static_cast<unsigned>(raw));
    }
    CloseEntryData();
    return data.Crc() == cachedCrc_ ? ARCHIVE_OK : ARCHIVE_INFLATE_FAILED;
}
