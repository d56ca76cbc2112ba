#include "tests/support/share_key.h"

#include "base/unique_resource.h"

namespace {

const wchar_t kShareKey[] = L"SOFTWARE\\ZelkGame\\Lobby\\Share\\shareid_100";

}  // namespace

std::wstring ReadShareValue(DWORD* type)
{
    UniqueKey key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kShareKey, 0, KEY_READ, key.put()) != ERROR_SUCCESS)
        return L"absent";
    wchar_t data[64];
    wmemset(data, 0x5555, 64);
    DWORD size = sizeof data;
    DWORD poisoned = 0xdeadbeef;
    if (!type)
        type = &poisoned;
    *type = 0xdeadbeef;
    if (RegQueryValueExW(key.get(), nullptr, nullptr, type, reinterpret_cast<BYTE*>(data), &size) != ERROR_SUCCESS)
        return L"absent";
    std::wstring value(data, size / sizeof(wchar_t));
    if (!value.empty() && value.back() == L'\0')
        value.pop_back();
    return value;
}

void DeleteShareKey()
{
    RegDeleteKeyW(HKEY_CURRENT_USER, kShareKey);
}
