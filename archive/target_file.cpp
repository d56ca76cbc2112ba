#include "archive/target_file.h"

#include "archive/archive_result.h"
#include "archive/entry_name.h"
#include "archive/make_directory_path.h"
#include "base/file_io.h"

namespace {

constexpr DWORD kInTheWay = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

UniqueFile Create(const std::wstring& path, DWORD attributes)
{
    return UniqueFile(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  attributes ? attributes : FILE_ATTRIBUTE_NORMAL, nullptr));
}

bool IsExistingFile(const std::wstring& path)
{
    DWORD existing = GetFileAttributesW(path.c_str());
    return existing != INVALID_FILE_ATTRIBUTES && !(existing & FILE_ATTRIBUTE_DIRECTORY);
}

// The worker reads 0x200 as "the client is running" and starts the client
// that is there; any other reason must not look like that.
uint32_t Classify(const std::wstring& path, DWORD error)
{
    bool held = (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION || error == ERROR_ACCESS_DENIED) &&
                IsExistingFile(path);
    SetLastError(error);
    return held ? ARCHIVE_CANNOT_CREATE_FILE : ARCHIVE_WRITE_FAILED;
}

}  // namespace

UniqueFile CreateTargetFile(const std::wstring& path, size_t rootLength, DWORD attributes, uint32_t* failure)
{
    // Folders are made only when the file cannot be created: most entries
    // land in a folder that an earlier entry has made already.
    UniqueFile file = Create(path, attributes);
    if (!file && GetLastError() == ERROR_PATH_NOT_FOUND) {
        if (!MakeDirectoryPath(std::wstring_view(path).substr(0, FilePartOffset(path)), rootLength)) {
            *failure = ARCHIVE_WRITE_FAILED;
            return file;
        }
        file = Create(path, attributes);
    }
    // An earlier installation can leave a read-only, hidden or system file
    // (entries carry such attributes), which CREATE_ALWAYS refuses to
    // replace; a reinstall must overwrite it all the same.
    if (!file && GetLastError() == ERROR_ACCESS_DENIED) {
        DWORD existing = GetFileAttributesW(path.c_str());
        if (existing != INVALID_FILE_ATTRIBUTES && !(existing & FILE_ATTRIBUTE_DIRECTORY) && (existing & kInTheWay) &&
            SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL))
            file = Create(path, attributes);
        else
            SetLastError(ERROR_ACCESS_DENIED);
    }
    if (!file)
        *failure = Classify(path, GetLastError());
    return file;
}

void DiscardTargetFile(UniqueFile file, const std::wstring& path)
{
    DWORD error = GetLastError();
    file.reset();
    // The entry's own read-only attribute would keep the file.
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteJustWritten(path.c_str());
    SetLastError(error);
}
