#include "archive/long_path.h"

namespace {

constexpr std::wstring_view kLongPrefix = L"\\\\?\\";
constexpr std::wstring_view kDevicePrefix = L"\\\\.\\";
constexpr std::wstring_view kUncPrefix = L"UNC\\";

bool StartsWith(std::wstring_view text, std::wstring_view prefix)
{
    return text.substr(0, prefix.size()) == prefix;
}

// Offset just past the separator that ends the component at `from`.
size_t PastComponent(std::wstring_view path, size_t from)
{
    size_t separator = path.find(L'\\', from);
    return separator == std::wstring_view::npos ? path.size() : separator + 1;
}

}  // namespace

std::wstring ToLongPath(std::wstring_view fullPath)
{
    if (StartsWith(fullPath, kLongPrefix))
        return std::wstring(fullPath);
    if (StartsWith(fullPath, kDevicePrefix))
        return std::wstring(kLongPrefix).append(fullPath.substr(kDevicePrefix.size()));
    if (StartsWith(fullPath, L"\\\\"))
        return std::wstring(kLongPrefix).append(kUncPrefix).append(fullPath.substr(2));
    return std::wstring(kLongPrefix).append(fullPath);
}

size_t LongPathRootLength(std::wstring_view longPath)
{
    if (!StartsWith(longPath, kLongPrefix))
        return 0;
    size_t at = kLongPrefix.size();
    if (StartsWith(longPath.substr(at), kUncPrefix))
        return PastComponent(longPath, PastComponent(longPath, at + kUncPrefix.size()));
    return PastComponent(longPath, at);
}
