#include "install/desktop_shortcut.h"

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include "base/ansi_text.h"
#include "base/unique_resource.h"
#include "install/path_label.h"

namespace {

void SaveShortcut(const std::wstring& installDir, const std::wstring& displayName)
{
    UniqueCom<IShellLinkA> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(link.put()))))
        return;
    // The link object is used through its ANSI side, so the paths pass
    // through the code page.
    std::string target = ClientTarget(installDir);
    std::string directory = ToAnsi(installDir.c_str());
    link.get()->SetPath(target.c_str());
    link.get()->SetWorkingDirectory(directory.c_str());
    link.get()->SetIconLocation(target.c_str(), 0);

    auto file = QueryAs<IPersistFile>(link.get(), IID_IPersistFile);
    if (!file)
        return;
    wchar_t desktop[MAX_PATH] = {};
    if (!SHGetSpecialFolderPathW(nullptr, desktop, CSIDL_DESKTOPDIRECTORY, FALSE))
        return;
    std::wstring name = std::wstring(desktop) + L"\\" + displayName + L".lnk";
    file.get()->Save(name.c_str(), FALSE);
}

}  // namespace

void createDesktopShortcut(const std::wstring& installDir, const std::wstring& displayName)
{
    {
        UniqueComApartment apartment = EnterComApartment();
        if (apartment)
            SaveShortcut(installDir, displayName);
    }
    // Tells the shell to pick the new icon up; each window that does not
    // answer costs at most the time-out.
    SendMessageTimeoutA(HWND_BROADCAST, WM_WININICHANGE, 0, 0, SMTO_NORMAL, 500, nullptr);
}
