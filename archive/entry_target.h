// Where an extraction writes: the folders and files its entries name below
// the base directory, one entry at a time. It knows the folders made or
// found so far, so that each is made once, before its first file, and no
// file is first tried in a folder that is not there yet (under Wine a
// failed creation costs as much as one that succeeds).
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_set>

#include "archive/zip_reader.h"
#include "base/unique_resource.h"

class EntryTarget final : public EntrySink {
public:
    // `base`, a long path that exists, ends with a separator.
    explicit EntryTarget(std::wstring base);

    // Makes the folder a folder entry names, or creates the file a file
    // entry names (with its missing folders) and holds it for the data.
    uint32_t Open(const ZipEntry& entry);
    bool HoldsFile() const { return static_cast<bool>(file_); }
    // Appends to the held file.
    uint32_t Write(const char* data, DWORD size);
    // Ends the held file with the result its data gave, and returns the
    // entry's: ARCHIVE_OK sets the entry's times; a failure removes the
    // file, unless the entry is empty (it keeps its file, and data that
    // reads as failed is forgiven: an empty entry has none to read).
    uint32_t Close(uint32_t dataResult);

    // Reads write straight into the held file (ZipReader::ReadEntryData).
    uint32_t Room(char** room, DWORD* size) override;
    uint32_t Put(DWORD size) override;

    // The Windows error of the last failure here; 0 when none came.
    DWORD lastError() const { return lastError_; }

private:
    uint32_t Fail(uint32_t result);
    bool MakeFolder(const std::wstring& folder);

    std::wstring base_;
    std::unordered_set<std::wstring> folders_;  // made or found; no separator at the end
    ZipEntry entry_{};
    std::wstring path_;
    UniqueFile file_;
    std::unique_ptr<char[]> buffer_;
    DWORD lastError_ = 0;
};
