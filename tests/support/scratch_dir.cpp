#include "tests/support/scratch_dir.h"

#include <windows.h>
#include <shlobj.h>

#include <atomic>
#include <cstdlib>
#include <string>

#include <gtest/gtest.h>

#include "base/unique_resource.h"

ScratchDir::ScratchDir()
{
    static std::atomic<int> counter;
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    path_ = std::wstring(temp) + L"lobbytest_" + std::to_wstring(GetCurrentProcessId()) + L"_" +
            std::to_wstring(counter++) + L"\\";
    RemoveTree(path_);
    CreateDirectoryW(path_.c_str(), nullptr);
}

ScratchDir::~ScratchDir()
{
    RemoveTree(path_);
}

void RemoveTree(const std::wstring& path)
{
    std::wstring dir = path;
    if (!dir.empty() && dir.back() != L'\\')
        dir += L'\\';
    WIN32_FIND_DATAW data;
    UniqueFindFile find(FindFirstFileW((dir + L"*").c_str(), &data));
    if (find) {
        do {
            std::wstring name = data.cFileName;
            if (name == L"." || name == L"..")
                continue;
            std::wstring child = dir + name;
            SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(child);
            else
                DeleteFileW(child.c_str());
        } while (FindNextFileW(find.get(), &data));
    }
    RemoveDirectoryW(dir.c_str());
}

std::string ReadFileBytes(const std::wstring& path)
{
    UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, 0, nullptr));
    if (!file)
        return {};
    std::string bytes;
    char buffer[65536];
    DWORD got = 0;
    while (ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr) && got > 0)
        bytes.append(buffer, got);
    return bytes;
}

void WriteFileBytes(const std::wstring& path, const std::string& bytes)
{
    UniqueFile file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    DWORD written = 0;
    if (file)
        WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

bool FileExists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::wstring WindowsFolder(const char* unixPath)
{
    // Wine maps the whole file system on Z:.
    std::wstring path = L"Z:";
    for (const char* p = unixPath; *p; ++p)
        path += *p == '/' ? L'\\' : static_cast<wchar_t>(static_cast<unsigned char>(*p));
    if (path.back() != L'\\')
        path += L'\\';
    return path;
}

std::wstring FolderFromEnvironment(const char* variable)
{
    const char* value = getenv(variable);
    return value ? WindowsFolder(value) : std::wstring();
}

std::wstring BuildPath(const std::wstring& relative)
{
    std::wstring path = FolderFromEnvironment("LOBBY_BUILD_DIR");
    for (wchar_t c : relative)
        path += c == L'/' ? L'\\' : c;
    return path;
}

std::string SampleBytes(const std::wstring& name)
{
    std::wstring folder = FolderFromEnvironment("LOBBY_INSTALL_DATA");
    return folder.empty() ? std::string() : ReadFileBytes(folder + name);
}

std::string ClientBytes()
{
    return ReadFileBytes(BuildPath(L"tests/install/install_test_client.exe"));
}

uint64_t FileSize(const std::wstring& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data))
        return 0;
    return static_cast<uint64_t>(data.nFileSizeHigh) << 32 | data.nFileSizeLow;
}

bool WaitForFile(const std::wstring& path, unsigned long ms)
{
    DWORD start = GetTickCount();
    while (!FileExists(path)) {
        if (GetTickCount() - start >= ms)
            return false;
        Sleep(20);
    }
    return true;
}

std::wstring DesktopShortcutPath()
{
    wchar_t desktop[MAX_PATH] = {};
    SHGetSpecialFolderPathW(nullptr, desktop, CSIDL_DESKTOPDIRECTORY, FALSE);
    return std::wstring(desktop) + L"\\Quillmoor.lnk";
}

std::wstring ProgramPath(const std::wstring& relative)
{
    std::wstring shipped = FolderFromEnvironment("LOBBY_SHIPPED_DIR");
    if (shipped.empty())
        return BuildPath(relative);
    for (wchar_t c : relative)
        shipped += c == L'/' ? L'\\' : c;
    return shipped;
}

bool Is32BitProgram(const std::wstring& path)
{
    DWORD type = 0xdeadbeef;
    return GetBinaryTypeW(path.c_str(), &type) && type == SCS_32BIT_BINARY;
}

std::wstring CopyProgram(const ScratchDir& dir, const std::wstring& built, const std::wstring& name)
{
    std::wstring target = dir / name;
    EXPECT_TRUE(CopyFileW(ProgramPath(built).c_str(), target.c_str(), FALSE)) << GetLastError();
    return target;
}
