#include "tests/support/planted_dlls.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "base/unique_resource.h"

namespace {

const wchar_t kAppDefaults[] = L"Software\\Wine\\AppDefaults\\";

// LOBBY_PLANTED_DLLS: the names, comma-separated (tests/CMakeLists.txt).
std::vector<std::wstring> Names()
{
    std::vector<std::wstring> names;
    std::string list = LOBBY_PLANTED_DLLS;
    for (size_t start = 0; start <= list.size();) {
        size_t end = list.find(',', start);
        if (end == std::string::npos)
            end = list.size();
        names.emplace_back(list.begin() + start, list.begin() + end);
        start = end + 1;
    }
    return names;
}

}  // namespace

AppDllOverrides::AppDllOverrides(const std::wstring& exe, const std::vector<std::wstring>& dlls, const wchar_t* order)
    : exe_(exe)
{
    UniqueKey key;
    LSTATUS status = RegCreateKeyExW(HKEY_CURRENT_USER, (kAppDefaults + exe + L"\\DllOverrides").c_str(), 0,
                                     nullptr, 0, KEY_SET_VALUE, nullptr, key.put(), nullptr);
    EXPECT_EQ(ERROR_SUCCESS, status);
    for (const std::wstring& dll : dlls) {
        EXPECT_EQ(ERROR_SUCCESS, RegSetValueExW(key.get(), dll.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(order),
                                                static_cast<DWORD>((wcslen(order) + 1) * sizeof(wchar_t))));
    }
}

AppDllOverrides::~AppDllOverrides()
{
    RegDeleteKeyW(HKEY_CURRENT_USER, (kAppDefaults + exe_ + L"\\DllOverrides").c_str());
    RegDeleteKeyW(HKEY_CURRENT_USER, (kAppDefaults + exe_).c_str());
}

PlantedDlls::PlantedDlls(const ScratchDir& dir, const std::wstring& exe)
    : dir_(dir.path()), names_(Names()), preferred_(exe, names_, L"n,b")
{
    for (const std::wstring& name : names_) {
        EXPECT_TRUE(CopyFileW(BuildPath(L"tests/support/stand_in.dll").c_str(), (dir / (name + L".dll")).c_str(),
                              FALSE))
            << GetLastError();
    }
}

std::vector<std::wstring> PlantedDlls::Loaded() const
{
    std::vector<std::wstring> loaded;
    for (const std::wstring& name : names_) {
        if (FileExists(dir_ + name + L".dll.loaded"))
            loaded.push_back(name + L".dll");
    }
    return loaded;
}
