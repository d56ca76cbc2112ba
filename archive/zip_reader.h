// One open zip archive: entry records with safe names, attributes and times,
// and extraction of single entries to files below a base directory.
// Every file-system path it uses is a long path (archive/long_path.h).
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "archive/archive_result.h"
#include "archive/zip_handles.h"

struct ZipEntry {
    int index;  // for the summary (index -1): the number of entries
    // Where the entry goes, relative to the base directory (TargetBelowBase).
    std::wstring name;
    uint32_t attributes;
    // UTC; all zero when the archive gives no usable time.
    FILETIME accessTime;
    FILETIME creationTime;
    FILETIME writeTime;
    int32_t compressedSize;
    int32_t uncompressedSize;
};

// A folder entry: its attributes say so, or its name ends in a separator
// (no file can have that name), or its name is empty (the base directory).
bool IsFolderEntry(const ZipEntry& entry);

// Takes an entry's data as ZipReader::ReadEntryData produces it, a block at
// a time: the reader inflates into the room the sink lends.
class EntrySink {
public:
    // Where the next block goes: *room, at least 64 KB of it in *size.
    // ARCHIVE_OK, or the sink's failure, which ends the read with it.
    virtual uint32_t Room(char** room, DWORD* size) = 0;
    // The first `size` bytes of the room hold data now; ARCHIVE_OK to go on.
    virtual uint32_t Put(DWORD size) = 0;

protected:
    ~EntrySink() = default;
};

class EntryTarget;

class ZipReader {
public:
    // Null when the handle is invalid or the file holds no central
    // directory. The handle (opened for reading) is read at
    // explicit offsets and stays the caller's: it must outlive the reader.
    static std::unique_ptr<ZipReader> Open(HANDLE archive, const char* password);
    ~ZipReader();
    ZipReader(const ZipReader&) = delete;
    ZipReader& operator=(const ZipReader&) = delete;

    // A long path that exists; a separator is added when it has none.
    void SetBaseDirectory(std::wstring longDirectory);
    const std::wstring& baseDirectory() const { return base_; }

    // Index -1 gives the summary; 0..count-1 an entry. A name the archive
    // must not use (invalid UTF-8, TargetBelowBase refuses it) gives
    // ARCHIVE_CORRUPT.
    uint32_t EntryInfo(int index, ZipEntry* entry);
    // Writes the entry below the base directory under its name.
    uint32_t ExtractEntry(int index);
    // The same through `target`, which keeps what it learns of the
    // folders from one entry to the next.
    uint32_t ExtractEntry(int index, EntryTarget& target);
    // The data of file entry `index`, inflated, decrypted and checked, handed
    // to `sink`: ARCHIVE_OK, the sink's failure, or what the data failed
    // with. An empty entry has no data to read and fails like corrupt data.
    uint32_t ReadEntryData(int index, EntrySink& sink);

    // The Windows error of the last failing call, kept for the caller.
    DWORD lastError() const { return lastError_; }

private:
    ZipReader(UniqueZipArchive archive, const char* password);

    void CloseEntryData();
    bool MoveTo(int index);
    uint32_t ReadEntry(ZipEntry* entry);
    uint32_t CopyPlainData(EntrySink& sink);
    uint32_t CopyEncryptedData(EntrySink& sink);
    uint32_t Fail(uint32_t result);

    UniqueZipArchive archive_;
    int count_ = 0;
    int position_ = 0;  // the entry the library stands on
    bool dataOpen_ = false;
    int cachedIndex_ = -1;
    ZipEntry cached_{};
    uint32_t cachedFlags_ = 0;
    uint32_t cachedCrc_ = 0;
    uint32_t cachedDosTime_ = 0;
    int cachedMethod_ = 0;
    uint64_t cachedUncompressed_ = 0;
    std::string password_;  // an absent password counts as empty
    std::wstring base_;
    std::unique_ptr<char[]> name_;  // as stored, up to the 65535 bytes a name can have
    DWORD lastError_ = 0;
};

// Closes the archive and releases the reader; no reader gives
// ARCHIVE_BAD_ARGUMENTS.
uint32_t CloseZipReader(std::unique_ptr<ZipReader> reader);
