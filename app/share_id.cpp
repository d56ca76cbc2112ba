#include "app/share_id.h"

#include <windows.h>

#include "base/ansi_text.h"
#include "app/config.h"
#include "base/unique_resource.h"

namespace {

// The pieces of `text` between runs of `separator`, like C strtok.
std::string LastPiece(const std::string& text, char separator)
{
    size_t end = text.find_last_not_of(separator);
    if (end == std::string::npos)
        return {};
    size_t start = text.find_last_of(separator, end);
    start = start == std::string::npos ? 0 : start + 1;
    return text.substr(start, end - start + 1);
}

std::string FirstPiece(const std::string& text, char separator)
{
    size_t start = text.find_first_not_of(separator);
    if (start == std::string::npos)
        return {};
    size_t end = text.find(separator, start);
    return text.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

}  // namespace

std::string ShareIdFromPath(const char* path)
{
    std::string piece = FirstPiece(LastPiece(LastPiece(path, '\\'), '_'), '.');
    if (piece.empty() || piece.find_first_not_of("0123456789") != std::string::npos)
        return {};
    return piece;
}

void recordShareId()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, sizeof path);
    std::string shareId = ShareIdFromPath(path);
    if (shareId.empty())
        return;

    UniqueKey software;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "SOFTWARE", 0, KEY_READ | KEY_WRITE, software.put()) != ERROR_SUCCESS)
        return;
    UniqueKey share;
    if (RegCreateKeyA(software.get(), ToAnsi(productRow.shareKeyPath).c_str(), share.put()) != ERROR_SUCCESS)
        return;
    // The installed client reads the digits without a terminating NUL.
    RegSetValueExA(share.get(), nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(shareId.data()),
                   static_cast<DWORD>(shareId.size()));
}
