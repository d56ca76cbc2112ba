#include "archive/make_directory_path.h"

#include <windows.h>

#include <string>

#include "archive/entry_name.h"
#include "base/ansi_text.h"

namespace {

void CreateIfMissing(const std::string& path)
{
    if (path.empty() || path.size() >= MAX_PATH)
        return;
    if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES)
        CreateDirectoryA(path.c_str(), nullptr);
}

void MakeBelow(const std::string& root, std::string_view path)
{
    if (path.empty())
        return;
    size_t filePart = FilePartOffset(path, IsAnsiLeadByte);
    // Parents first; a separator at the very start has no parent before it.
    if (filePart > 1)
        MakeBelow(root, path.substr(0, filePart - 1));
    CreateIfMissing(root + std::string(path));
}

}  // namespace

void MakeDirectoryPath(const char* root, const char* path)
{
    std::string base = root ? root : "";
    CreateIfMissing(base);
    MakeBelow(base, path ? path : "");
}
