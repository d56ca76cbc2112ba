#include "ui/main/folder_choice.h"

#include <windows.h>
#include <shlobj.h>

#include "app/narrow_texts.h"
#include "base/ansi_text.h"
#include "base/unique_resource.h"
#include "ui/main/client_launch.h"

namespace {

constexpr unsigned kMinimumFreeMb = 55;

unsigned FreeMegabytes(const std::string& folder)
{
    ULARGE_INTEGER available = {};
    if (!GetDiskFreeSpaceExA(folder.c_str(), &available, nullptr, nullptr))
        return 0;
    return static_cast<unsigned>(available.QuadPart >> 20);
}

std::optional<InstallLocation> CheckInstallFolder(const std::wstring& folder, const std::wstring& displayName)
{
    if (folder.empty())
        return {};
    std::string ansi = ToAnsi(folder.c_str());
    InstallLocation location = PickedInstallLocation(folder, ansi.size(), displayName);
    // Only what the client's launch could not start is refused; the
    // extraction itself takes any path.
    switch (CheckClientPath(location.root + displayName + L"\\")) {
    case ClientPathProblem::TooLong:
        MessageBoxA(nullptr, kTextPathTooLong, nullptr, MB_OK);
        return {};
    case ClientPathProblem::NotInCodePage:
        MessageBoxA(nullptr, kTextPathNotInCodePage, nullptr, MB_OK);
        return {};
    case ClientPathProblem::None:
        break;
    }
    if (FreeMegabytes(ansi) < kMinimumFreeMb) {
        MessageBoxA(nullptr, kTextDiskFull, nullptr, MB_OK);
        return {};
    }
    return location;
}

}  // namespace

std::optional<InstallLocation> AskForInstallFolder(HWND owner, const std::wstring& displayName)
{
    wchar_t path[MAX_PATH] = {};
    BROWSEINFOW browse = {};
    // Owned, so modal: the window cannot start the installation from under
    // an open dialog by a click.
    browse.hwndOwner = owner;
    browse.pszDisplayName = path;
    browse.lpszTitle = L"从下面选择文件夹:";
    browse.ulFlags = BIF_RETURNONLYFSDIRS;
    UniqueCoTaskMemory<ITEMIDLIST> picked(SHBrowseForFolderW(&browse));
    if (!picked || !SHGetPathFromIDListW(picked.get(), path))
        return {};
    return CheckInstallFolder(path, displayName);
}
