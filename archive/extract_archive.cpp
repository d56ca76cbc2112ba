#include "archive/extract_archive.h"

#include <windows.h>
#include <shlobj.h>

#include <string>

#include "archive/archive_result.h"
#include "archive/entry_name.h"
#include "archive/zip_reader.h"
#include "base/ansi_text.h"

namespace {

std::string FullPath(const std::string& path)
{
    char full[MAX_PATH];
    DWORD length = GetFullPathNameA(path.c_str(), MAX_PATH, full, nullptr);
    return length && length < MAX_PATH ? std::string(full, length) : std::string();
}

// The archive came over plain HTTP and the extraction runs elevated: the
// name must not climb out of the base, and neither may what Windows makes
// of the joined path.
bool TargetStaysBelow(const std::string& base, const char* name)
{
    if (!StaysBelowBase(name, IsAnsiLeadByte))
        return false;
    std::string root = FullPath(base);
    std::string target = FullPath(base + name);
    return !root.empty() && target.size() >= root.size() && target.compare(0, root.size(), root) == 0;
}

int CheckDestination(const char* destination)
{
    DWORD attributes = DestinationAttributes(destination);
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        if (SHCreateDirectoryExA(nullptr, destination, nullptr) != ERROR_SUCCESS &&
            GetLastError() != ERROR_ALREADY_EXISTS)
            return EXTRACT_DEST_NOT_CREATED;
        return 0;
    }
    return attributes & FILE_ATTRIBUTE_DIRECTORY ? 0 : EXTRACT_DEST_NOT_DIRECTORY;
}

uint32_t ExtractAll(ZipReader& reader)
{
    ZipEntry entry;
    uint32_t result = reader.EntryInfo(-1, &entry);
    int count = entry.index;
    for (int i = 0; i < count && result == ARCHIVE_OK; ++i) {
        result = reader.EntryInfo(i, &entry);
        if (result != ARCHIVE_OK)
            break;
        if (!TargetStaysBelow(reader.baseDirectory(), entry.name)) {
            SetLastError(ERROR_BAD_PATHNAME);
            return ARCHIVE_CORRUPT;
        }
        result = reader.ExtractEntry(i, entry.name);
        // Empty entries read no data at all; they are done once created. An
        // entry that claims bytes but stores none is no empty file.
        if (result == ARCHIVE_INFLATE_FAILED && entry.uncompressedSize == 0)
            result = ARCHIVE_OK;
    }
    return result;
}

}  // namespace

DWORD DestinationAttributes(const char* destination)
{
    // "C:\file\" (the install root always ends with its separator) does not
    // name the file "C:\file" to the attribute query; the bare path does.
    std::string bare(WithoutTrailingSeparators(destination, IsAnsiLeadByte));
    return GetFileAttributesA(bare.c_str());
}

int ExtractArchive(const char* archivePath, const char* password, const char* destination)
{
    if (!destination)
        return EXTRACT_DEST_NOT_CREATED;
    int checked = CheckDestination(destination);
    if (checked != 0)
        return checked;

    std::unique_ptr<ZipReader> reader = ZipReader::Open(archivePath, password);
    if (!reader)
        return static_cast<int>(ARCHIVE_BAD_ARGUMENTS);
    reader->SetBaseDirectory(destination);
    uint32_t result = ExtractAll(*reader);
    DWORD error = reader->lastError() ? reader->lastError() : GetLastError();
    CloseZipReader(std::move(reader));
    if (result != ARCHIVE_OK)
        SetLastError(error);
    return static_cast<int>(result);
}
