#include "archive/target_file.h"

#include "archive/archive_result.h"
#include "archive/make_directory_path.h"

namespace {

constexpr DWORD kInTheWay = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

UniqueFile Create(const std::string& path, DWORD attributes)
{
    return UniqueFile(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  attributes ? attributes : FILE_ATTRIBUTE_NORMAL, nullptr));
}

// The worker reads 0x200 as "the client is running" and starts the client
// that is there; any other reason must not look like that.
uint32_t Classify(const std::string& path, DWORD error)
{
    DWORD existing = GetFileAttributesA(path.c_str());
    bool heldFile = existing != INVALID_FILE_ATTRIBUTES && !(existing & FILE_ATTRIBUTE_DIRECTORY) &&
                    (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION ||
                     error == ERROR_ACCESS_DENIED);
    SetLastError(error);
    return heldFile ? ARCHIVE_CANNOT_CREATE_FILE : ARCHIVE_CORRUPT;
}

}  // namespace

UniqueFile CreateTargetFile(const std::string& path, DWORD attributes, const char* root,
                            const std::string& directory, uint32_t* failure)
{
    // Folders are made only when the file cannot be created: most entries
    // land in a folder that an earlier entry has made already.
    UniqueFile file = Create(path, attributes);
    if (!file && GetLastError() == ERROR_PATH_NOT_FOUND) {
        MakeDirectoryPath(root, directory.c_str());
        file = Create(path, attributes);
    }
    // An earlier installation can leave a read-only, hidden or system file
    // (entries carry such attributes), which CREATE_ALWAYS refuses to
    // replace; a reinstall must overwrite it all the same.
    if (!file && GetLastError() == ERROR_ACCESS_DENIED) {
        DWORD existing = GetFileAttributesA(path.c_str());
        if (existing != INVALID_FILE_ATTRIBUTES && !(existing & FILE_ATTRIBUTE_DIRECTORY) && (existing & kInTheWay) &&
            SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL))
            file = Create(path, attributes);
        else
            SetLastError(ERROR_ACCESS_DENIED);
    }
    if (!file)
        *failure = Classify(path, GetLastError());
    return file;
}

void DiscardTargetFile(UniqueFile file, const std::string& path)
{
    DWORD error = GetLastError();
    file.reset();
    // The entry's own read-only attribute would keep the file.
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(path.c_str());
    SetLastError(error);
}
