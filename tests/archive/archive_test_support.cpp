#include "tests/archive/archive_test_support.h"

#include <cstdio>

#include "base/unique_resource.h"
#include "archive/extract_archive.h"
#include "tests/support/scratch_dir.h"

std::wstring Fixture(const std::wstring& name)
{
    return BuildPath(L"tests/archive/fixtures/" + name);
}

int Extract(const std::wstring& archive, const std::wstring& destination, const char* password)
{
    SetLastError(0xdeadbeef);
    return ExtractArchive(archive.c_str(), password, destination.c_str());
}

UniqueFile OpenArchive(const std::wstring& archive)
{
    return UniqueFile(
        CreateFileW(archive.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
}

ZipEntry PoisonedEntry()
{
    const FILETIME garbage = {0xcccccccc, 0xcccccccc};
    return {-7, L"poison", 0xcccccccc, garbage, garbage, garbage, -7, -7};
}

FileTimes TimesOf(const std::wstring& path)
{
    FileTimes times = {};
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data))
        times = {data.ftCreationTime, data.ftLastAccessTime, data.ftLastWriteTime};
    return times;
}

std::string LocalText(const FILETIME& time)
{
    FILETIME local;
    SYSTEMTIME t;
    if (!FileTimeToLocalFileTime(&time, &local) || !FileTimeToSystemTime(&local, &t))
        return "invalid";
    char text[32];
    snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u", t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute,
             t.wSecond);
    return text;
}

FILETIME FromUnixTime(long long seconds)
{
    unsigned long long ticks = static_cast<unsigned long long>(seconds + 11644473600LL) * 10000000ULL;
    return {static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
}

unsigned long long Ticks(const FILETIME& time)
{
    return static_cast<unsigned long long>(time.dwHighDateTime) << 32 | time.dwLowDateTime;
}

namespace {

bool IsOtherProcessScratch(const std::wstring& name)
{
    static const std::wstring own = L"lobbytest_" + std::to_wstring(GetCurrentProcessId()) + L"_";
    return name.rfind(L"lobbytest_", 0) == 0 && name.rfind(own, 0) != 0;
}

// The test programs share one prefix, and some write to drive C whenever
// they run: WinINet keeps its cookies, cache and history in the user's
// folders, and the window tests install below "Program Files\Quillmoor".
bool IsOtherProgramsFolder(const std::wstring& name)
{
    for (const wchar_t* folder : {L"INetCookies", L"INetCache", L"History", L"Quillmoor"})
        if (_wcsicmp(name.c_str(), folder) == 0)
            return true;
    return false;
}

void Walk(const std::wstring& dir, const std::vector<std::wstring>& skip, TreeSnapshot& out)
{
    WIN32_FIND_DATAW data;
    UniqueFindFile find(FindFirstFileW((dir + L"*").c_str(), &data));
    if (!find)
        return;
    do {
        std::wstring name = data.cFileName;
        if (name == L"." || name == L".." || IsOtherProcessScratch(name) || IsOtherProgramsFolder(name))
            continue;
        std::wstring path = dir + name;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            // Wine links the shell folders (Desktop, Documents, ...) to the
            // Unix home; what lies behind them is not the prefix's.
            bool skipped = data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT;
            for (const std::wstring& s : skip)
                skipped = skipped || _wcsicmp((path + L"\\").c_str(), s.c_str()) == 0;
            out[path + L"\\"] = L"dir";
            if (!skipped)
                Walk(path + L"\\", skip, out);
            continue;
        }
        unsigned long long size = static_cast<unsigned long long>(data.nFileSizeHigh) << 32 | data.nFileSizeLow;
        out[path] = std::to_wstring(size) + L" " + std::to_wstring(Ticks(data.ftLastWriteTime));
    } while (FindNextFileW(find.get(), &data));
}

}  // namespace

TreeSnapshot SnapshotTree(const std::wstring& root, const std::vector<std::wstring>& skip)
{
    TreeSnapshot snapshot;
    Walk(root, skip, snapshot);
    return snapshot;
}

std::wstring TreeChanges(const TreeSnapshot& before, const TreeSnapshot& after)
{
    std::wstring changes;
    for (const auto& [path, value] : after) {
        auto old = before.find(path);
        if (old == before.end())
            changes += L"added " + path + L"\n";
        else if (old->second != value)
            changes += L"changed " + path + L"\n";
    }
    for (const auto& [path, value] : before) {
        if (!after.count(path))
            changes += L"removed " + path + L"\n";
    }
    return changes;
}
