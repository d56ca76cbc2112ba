// An entry's data, and writing one entry of an open archive below the base
// directory.
#include "archive/zip_reader.h"

#include <unzip.h>

#include "archive/encrypted_entry.h"
#include "archive/entry_meta.h"
#include "archive/entry_target.h"

namespace {

constexpr uint32_t kFlagEncrypted = 0x01;
constexpr uint32_t kFlagDataDescriptor = 0x08;

}  // namespace

bool IsFolderEntry(const ZipEntry& entry)
{
    return (entry.attributes & ENTRY_DIRECTORY) || entry.name.empty() || entry.name.back() == L'\\';
}

uint32_t ZipReader::ExtractEntry(int index)
{
    EntryTarget target(base_);
    return ExtractEntry(index, target);
}

uint32_t ZipReader::ExtractEntry(int index, EntryTarget& target)
{
    CloseEntryData();
    if (index < 0 || index >= count_)
        return ARCHIVE_BAD_ARGUMENTS;
    ZipEntry entry;
    uint32_t result = EntryInfo(index, &entry);
    if (result != ARCHIVE_OK)
        return result;
    result = target.Open(entry);
    if (result == ARCHIVE_OK && target.HoldsFile())
        result = target.Close(ReadEntryData(index, target));
    if (result != ARCHIVE_OK && target.lastError() != 0)
        lastError_ = target.lastError();
    return result;
}

uint32_t ZipReader::ReadEntryData(int index, EntrySink& sink)
{
    CloseEntryData();
    if (index < 0 || index >= count_)
        return ARCHIVE_BAD_ARGUMENTS;
    // Also makes the entry's header fields the cached ones.
    ZipEntry entry;
    uint32_t info = EntryInfo(index, &entry);
    if (info != ARCHIVE_OK)
        return info;
    if (!MoveTo(index))
        return ARCHIVE_CORRUPT;
    return cachedFlags_ & kFlagEncrypted ? CopyEncryptedData(sink) : CopyPlainData(sink);
}

uint32_t ZipReader::CopyPlainData(EntrySink& sink)
{
    unzFile archive = archive_.get();
    if (unzOpenCurrentFile(archive) != UNZ_OK)
        return ARCHIVE_INFLATE_FAILED;
    dataOpen_ = true;
    for (;;) {
        char* room = nullptr;
        DWORD size = 0;
        uint32_t lent = sink.Room(&room, &size);
        if (lent != ARCHIVE_OK)
            return lent;
        // An empty entry reads 0 bytes at once; the driver forgives that.
        int got = unzReadCurrentFile(archive, room, size);
        if (got <= 0)
            return ARCHIVE_INFLATE_FAILED;
        uint32_t put = sink.Put(static_cast<DWORD>(got));
        if (put != ARCHIVE_OK)
            return put;
        if (unzeof(archive) == 1)
            break;
    }
    // The library compares the CRC-32 when the data is closed after its end.
    dataOpen_ = false;
    return unzCloseCurrentFile(archive) == UNZ_OK ? ARCHIVE_OK : ARCHIVE_INFLATE_FAILED;
}

uint32_t ZipReader::CopyEncryptedData(EntrySink& sink)
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

    while (!data.AtEnd()) {
        char* room = nullptr;
        DWORD size = 0;
        uint32_t lent = sink.Room(&room, &size);
        if (lent != ARCHIVE_OK)
            return lent;
        int got = data.Produce(reinterpret_cast<unsigned char*>(room), size);
        if (got < 0)
            return ARCHIVE_INFLATE_FAILED;
        if (got > 0) {
            uint32_t put = sink.Put(static_cast<DWORD>(got));
            if (put != ARCHIVE_OK)
                return put;
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
