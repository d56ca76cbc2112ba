#include "archive/extract_archive.h"

#include <string>

#include "archive/archive_result.h"
#include "archive/entry_name.h"
#include "archive/entry_target.h"
#include "archive/extract_entries.h"
#include "archive/long_path.h"
#include "archive/make_directory_path.h"
#include "archive/zip_reader.h"
#include "base/unique_resource.h"

namespace {

// The long form of `path`'s full path; empty when it has none. The
// destination is the player's own path, so Win32's normalisation applies
// to it as to any path, once, here.
std::wstring FullLongPath(const wchar_t* path)
{
    DWORD size = GetFullPathNameW(path, 0, nullptr, nullptr);
    if (size == 0)
        return {};
    std::wstring full(size, L'\0');
    DWORD length = GetFullPathNameW(path, size, full.data(), nullptr);
    if (length == 0 || length >= size)
        return {};
    full.resize(length);
    return ToLongPath(full);
}

int CheckDestination(const std::wstring& base)
{
    DWORD attributes = GetFileAttributesW(std::wstring(WithoutTrailingSeparators(base)).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return MakeDirectoryPath(base, LongPathRootLength(base)) ? 0 : EXTRACT_DEST_NOT_CREATED;
    return attributes & FILE_ATTRIBUTE_DIRECTORY ? 0 : EXTRACT_DEST_NOT_DIRECTORY;
}

}  // namespace

DWORD DestinationAttributes(const wchar_t* destination)
{
    // "C:\file\" (the install root always ends with its separator) does not
    // name the file "C:\file" to the attribute query; the bare path does.
    std::wstring base = destination ? FullLongPath(destination) : std::wstring();
    if (base.empty())
        return INVALID_FILE_ATTRIBUTES;
    return GetFileAttributesW(std::wstring(WithoutTrailingSeparators(base)).c_str());
}

int ExtractArchive(HANDLE archive, const char* password, const wchar_t* destination)
{
    std::wstring base = destination ? FullLongPath(destination) : std::wstring();
    if (base.empty())
        return EXTRACT_DEST_NOT_CREATED;
    int checked = CheckDestination(base);
    if (checked != 0)
        return checked;

    std::unique_ptr<ZipReader> reader = ZipReader::Open(archive, password);
    if (!reader)
        return static_cast<int>(ARCHIVE_BAD_ARGUMENTS);
    reader->SetBaseDirectory(std::move(base));
    EntryTarget target(reader->baseDirectory());
    EntriesResult result = ExtractEntries(*reader, target);
    DWORD error = result.error ? result.error : GetLastError();
    CloseZipReader(std::move(reader));
    if (result.code != ARCHIVE_OK)
        SetLastError(error);
    return static_cast<int>(result.code);
}

int ExtractArchive(const wchar_t* archivePath, const char* password, const wchar_t* destination)
{
    std::wstring path = archivePath ? FullLongPath(archivePath) : std::wstring();
    UniqueFile archive(path.empty() ? INVALID_HANDLE_VALUE
                                    : CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD openError = GetLastError();
    int result = ExtractArchive(archive.get(), password, destination);
    if (!archive && result == static_cast<int>(ARCHIVE_BAD_ARGUMENTS))
        SetLastError(openError);
    return result;
}
