#include "archive/make_directory_path.h"

#include <windows.h>

#include <string>
#include <vector>

#include "archive/entry_name.h"

namespace {

// Creates the folder named by the first `length` characters of `path`
// (a copy, so that it can be cut there); the Windows error, or 0.
DWORD CreateFolder(std::wstring& path, size_t length)
{
    wchar_t kept = path[length];
    path[length] = L'\0';
    DWORD error = CreateDirectoryW(path.c_str(), nullptr) ? ERROR_SUCCESS : GetLastError();
    if (error == ERROR_ALREADY_EXISTS) {
        // A file of that name is in the way.
        DWORD attributes = GetFileAttributesW(path.c_str());
        error = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) ? ERROR_SUCCESS
                                                                                                 : ERROR_ALREADY_EXISTS;
    }
    path[length] = kept;
    SetLastError(error);
    return error;
}

}  // namespace

bool MakeDirectoryPath(std::wstring_view path, size_t rootLength)
{
    std::wstring copy(WithoutTrailingSeparators(path));
    copy.push_back(L'\0');
    size_t length = copy.size() - 1;
    // Most folders have their parent already: the folder itself is tried
    // first, and the walk climbs only as far as parents are missing.
    std::vector<size_t> missing;
    for (;;) {
        if (length <= rootLength) {
            SetLastError(ERROR_PATH_NOT_FOUND);
            return false;
        }
        DWORD error = CreateFolder(copy, length);
        if (error == ERROR_SUCCESS)
            break;
        if (error != ERROR_PATH_NOT_FOUND)
            return false;
        missing.push_back(length);
        size_t parent = FilePartOffset(std::wstring_view(copy).substr(0, length));
        length = parent > 0 ? parent - 1 : 0;
    }
    for (; !missing.empty(); missing.pop_back()) {
        if (CreateFolder(copy, missing.back()) != ERROR_SUCCESS)
            return false;
    }
    return true;
}
