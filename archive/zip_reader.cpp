#include "archive/zip_reader.h"

#include <cstring>
#include <optional>
#include <string_view>
#include <vector>

#include <unzip.h>

#include "archive/buffered_file_io.h"
#include "archive/entry_meta.h"
#include "archive/entry_name.h"
#include "base/ansi_text.h"
#include "base/utf8_text.h"
#include "base/system_time.h"

namespace {

// General-purpose flag bit 11: the name is UTF-8.
constexpr uint32_t kFlagUtf8Name = 0x800;

constexpr size_t kNameCapacity = 65536;

FILETIME ToFileTime(uint64_t ticks)
{
    return {static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
}

// DOS times are local; an invalid one leaves the times zero, so the file
// keeps the times the file system gives it.
void FillTimes(uint32_t dosDateTime, const std::vector<unsigned char>& extra, ZipEntry* entry)
{
    if (auto calendar = DosDateTimeToCalendar(dosDateTime)) {
        SYSTEMTIME system = ToSystemTime(*calendar);
        FILETIME local, utc;
        if (SystemTimeToFileTime(&system, &local) && LocalFileTimeToFileTime(&local, &utc))
            entry->accessTime = entry->creationTime = entry->writeTime = utc;
    }
    ExtendedTimes unix = ParseExtendedTimestamp(extra.data(), extra.size());
    if (unix.write)
        entry->writeTime = ToFileTime(UnixTimeToFileTime(*unix.write));
    if (unix.access)
        entry->accessTime = ToFileTime(UnixTimeToFileTime(*unix.access));
    if (unix.creation)
        entry->creationTime = ToFileTime(UnixTimeToFileTime(*unix.creation));
}

}  // namespace

std::unique_ptr<ZipReader> ZipReader::Open(HANDLE archive, const char* password)
{
    zlib_filefunc64_def io;
    FillBufferedHandleFunctions(&io);
    UniqueZipArchive opened(unzOpen2_64(&archive, &io));
    if (!opened)
        return nullptr;
    unz_global_info64 global;
    if (unzGetGlobalInfo64(opened.get(), &global) != UNZ_OK || global.number_entry > 0x7FFFFFFF)
        return nullptr;
    std::unique_ptr<ZipReader> reader(new ZipReader(std::move(opened), password));
    reader->count_ = static_cast<int>(global.number_entry);
    return reader;
}

ZipReader::ZipReader(UniqueZipArchive archive, const char* password)
    : archive_(std::move(archive)), password_(password ? password : ""), name_(new char[kNameCapacity])
{
}

ZipReader::~ZipReader()
{
    CloseEntryData();
}

uint32_t CloseZipReader(std::unique_ptr<ZipReader> reader)
{
    return reader ? ARCHIVE_OK : ARCHIVE_BAD_ARGUMENTS;
}

void ZipReader::SetBaseDirectory(std::wstring longDirectory)
{
    base_ = std::move(longDirectory);
    if (base_.empty() || base_.back() != L'\\')
        base_ += L'\\';
}

void ZipReader::CloseEntryData()
{
    if (dataOpen_)
        unzCloseCurrentFile(archive_.get());
    dataOpen_ = false;
}

uint32_t ZipReader::Fail(uint32_t result)
{
    lastError_ = GetLastError();
    return result;
}

bool ZipReader::MoveTo(int index)
{
    if (position_ == index)
        return true;
    cachedIndex_ = -1;
    if (position_ < 0 || index < position_) {
        position_ = -1;
        if (unzGoToFirstFile(archive_.get()) != UNZ_OK)
            return false;
        position_ = 0;
    }
    while (position_ < index) {
        if (unzGoToNextFile(archive_.get()) != UNZ_OK) {
            position_ = -1;
            return false;
        }
        ++position_;
    }
    return true;
}

uint32_t ZipReader::EntryInfo(int index, ZipEntry* entry)
{
    if (!entry || index < -1 || index >= count_)
        return ARCHIVE_BAD_ARGUMENTS;
    CloseEntryData();
    if (index == -1) {
        *entry = {};
        entry->index = count_;
        return ARCHIVE_OK;
    }
    if (index == cachedIndex_) {
        *entry = cached_;
        return ARCHIVE_OK;
    }
    if (!MoveTo(index))
        return ARCHIVE_CORRUPT;
    uint32_t result = ReadEntry(entry);
    if (result != ARCHIVE_OK)
        return result;
    cached_ = *entry;
    cachedIndex_ = index;
    return ARCHIVE_OK;
}

uint32_t ZipReader::ReadEntry(ZipEntry* entry)
{
    unzFile file = archive_.get();
    unz_file_info64 info;
    char* name = name_.get();
    if (unzGetCurrentFileInfo64(file, &info, name, kNameCapacity, nullptr, 0, nullptr, 0) != UNZ_OK)
        return ARCHIVE_CORRUPT;

    // Opening the raw data makes minizip compare the local header with the
    // central directory, and gives access to the local extra field.
    if (unzOpenCurrentFile3(file, nullptr, nullptr, 1, nullptr) != UNZ_OK)
        return ARCHIVE_CORRUPT;
    dataOpen_ = true;
    int extraSize = unzGetLocalExtrafield(file, nullptr, 0);
    std::vector<unsigned char> extra(extraSize > 0 ? extraSize : 0);
    bool extraRead = extra.empty() ||
                     unzGetLocalExtrafield(file, extra.data(), static_cast<unsigned>(extra.size())) == extraSize;
    CloseEntryData();
    if (!extraRead)
        return ARCHIVE_READ_FAILED;

    // Bit 11 says UTF-8; other names are in the code page of the machine
    // that made the archive, taken to be this one's (GBK archives).
    // A name stops at its first NUL, as the ANSI file functions read it.
    std::string_view stored(name, strnlen(name, info.size_filename));
    std::wstring decoded;
    if (!(info.flag & kFlagUtf8Name)) {
        decoded = ToWide(name);
    } else if (!FromUtf8(stored, &decoded)) {
        SetLastError(ERROR_NO_UNICODE_TRANSLATION);
        return Fail(ARCHIVE_CORRUPT);
    }
    // The archive came over plain HTTP and the extraction runs elevated: a
    // name must not climb out of the base, nor reach a stream or a device.
    std::optional<std::wstring> target = TargetBelowBase(MakeSafeEntryName(decoded));
    if (!target) {
        SetLastError(ERROR_BAD_PATHNAME);
        return Fail(ARCHIVE_CORRUPT);
    }

    *entry = {};
    entry->index = position_;
    entry->name = std::move(*target);
    entry->attributes = EntryAttributes(info.version, info.external_fa);
    FillTimes(info.dosDate, extra, entry);
    entry->compressedSize = static_cast<int32_t>(info.compressed_size);
    entry->uncompressedSize = static_cast<int32_t>(info.uncompressed_size);
    cachedFlags_ = info.flag;
    cachedCrc_ = info.crc;
    cachedDosTime_ = info.dosDate;
    cachedMethod_ = static_cast<int>(info.compression_method);
    cachedUncompressed_ = info.uncompressed_size;
    return ARCHIVE_OK;
}
