// Installers built from the rows of two_channels.csv: each carries exactly
// its own row, and still takes its share number from its file name.
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>

#include "app/config.h"
#include "base/unique_resource.h"
#include "tests/support/child_process.h"
#include "tests/support/scratch_dir.h"
#include "tests/support/share_key.h"
#include "tests/support/windows.h"

namespace {

// The rows of two_channels.csv, as the program must read them back.
struct Row {
    const wchar_t* name;
    const wchar_t* channelId;
    const wchar_t* downloadPath;
    const wchar_t* official;
    const wchar_t* bannerUrl;
    const wchar_t* shareId;
    const char* archiveKeys;
};

const Row kRows[] = {
    {L"Download_kp_4101", L"4101", L"/update/kpwd_lobby.zip", L"0",
     L"http://127.0.0.1/banner_download/index.do?siteID=100&channelID=4101", L"4101", ""},
    {L"Setup_kp_0042", L"0042", L"/channels/中文/lobby.zip", L"1",
     L"http://127.0.0.1/b/index.do?siteID=100&channelID=42;dir=\\new\\,\"q\",中", L"0042",
     // Shaped like two minisign public keys.
     "RWQAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA RWSBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBB"},
};

std::wstring Executable(const Row& row)
{
    return BuildPath(std::wstring(L"tests/release/") + row.name + L".exe");
}

struct ModuleFree {
    void operator()(HMODULE module) const { FreeLibrary(module); }
};
using DataModule = std::unique_ptr<std::remove_pointer_t<HMODULE>, ModuleFree>;

std::wstring LoadWide(HMODULE module, UINT id)
{
    wchar_t buffer[1024];
    wmemset(buffer, 0x5555, 1024);
    SetLastError(0xdeadbeef);
    int count = LoadStringW(module, id, buffer, 1024);
    if (count <= 0)
        return L"<missing " + std::to_wstring(id) + L", error " + std::to_wstring(GetLastError()) + L">";
    return std::wstring(buffer, count);
}

std::string Manifest(HMODULE module)
{
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));  // RT_MANIFEST
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const char* bytes = loaded ? static_cast<const char*>(LockResource(loaded)) : nullptr;
    return bytes ? std::string(bytes, SizeofResource(module, found)) : std::string("<no manifest>");
}

}  // namespace

TEST(ChannelTable, EachExecutableCarriesExactlyItsRow)
{
    for (const Row& row : kRows) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(row.name)));
        // As data only: nothing of the installer runs in this process.
        DataModule module(LoadLibraryExW(Executable(row).c_str(), nullptr,
                                         LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
        ASSERT_TRUE(module) << GetLastError();
        EXPECT_EQ(row.channelId, LoadWide(module.get(), ID_CHANNAL));
        EXPECT_EQ(row.downloadPath, LoadWide(module.get(), ID_DOWNLOADURL));
        EXPECT_EQ(row.official, LoadWide(module.get(), ID_IFOFFICIAL));
        EXPECT_EQ(row.bannerUrl, LoadWide(module.get(), ID_BANNERURL));
        // Windows elevates the program before it runs, on the manifest's word.
        std::string manifest = Manifest(module.get());
        EXPECT_NE(std::string::npos,
                  manifest.find("<requestedExecutionLevel level=\"requireAdministrator\" uiAccess=\"false\"/>"))
            << manifest;
        // And spares it the compatibility shims of the versions it names:
        // 7, 8, 8.1, 10 and 11.
        size_t start = manifest.find("<compatibility xmlns=\"urn:schemas-microsoft-com:compatibility.v1\">");
        size_t end = manifest.find("</compatibility>");
        ASSERT_LT(start, end) << manifest;
        std::string compatibility = manifest.substr(start, end - start);
        for (const char* id : {"35138b9a-5d96-4fbd-8e2d-a2440225f93a", "4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38",
                               "1f676c76-80e1-4239-95bb-83d0f6d0da78", "8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a"}) {
            EXPECT_NE(std::string::npos, compatibility.find("<supportedOS Id=\"{" + std::string(id) + "}\"/>"))
                << id;
        }
    }
}

TEST(ChannelTable, EachExecutableCarriesItsArchiveKeys)
{
    // Compiled in as a string constant (kArchiveKeys), so found in the bytes.
    const std::string keys = std::string(kRows[1].archiveKeys) + '\0';
    EXPECT_EQ(std::string::npos, ReadFileBytes(Executable(kRows[0])).find(keys.substr(0, 20)));
    EXPECT_NE(std::string::npos, ReadFileBytes(Executable(kRows[1])).find(keys));
}

TEST(ChannelTable, ShareNumberComesFromTheFileName)
{
    for (const Row& row : kRows) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(row.name)));
        DeleteShareKey();
        ScratchDir dir;
        std::wstring exe = dir / (std::wstring(row.name) + L".exe");
        ASSERT_TRUE(CopyFileW(Executable(row).c_str(), exe.c_str(), FALSE)) << GetLastError();

        ChildProcess installer(exe);
        ASSERT_TRUE(installer.started());
        HWND window = WaitForProcessWindow(installer.id(), "DownloadWindow", 20000);
        ASSERT_TRUE(window) << "no window";
        PostMessageW(window, WM_CLOSE, 0, 0);
        ASSERT_TRUE(installer.Wait(10000)) << "did not end on close";
        EXPECT_EQ(row.shareId, ReadShareValue());
    }
}
