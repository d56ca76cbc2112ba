#include "tests/support/notification_area.h"

#include <shellapi.h>

#include <algorithm>

#include "tests/support/windows.h"

namespace {

constexpr char kIconClass[] = "__winex11_tray_icon";

NOTIFYICONDATAA KeptIconRecord(HWND window)
{
    NOTIFYICONDATAA data = {};
    data.cbSize = NOTIFYICONDATAA_V2_SIZE;
    data.hWnd = window;
    data.uID = 1;
    data.uFlags = NIF_ICON;
    data.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    return data;
}

void CollectIcons(HWND parent, std::vector<HWND>* icons)
{
    for (HWND h = FindWindowExA(parent, nullptr, kIconClass, nullptr); h;
         h = FindWindowExA(parent, h, kIconClass, nullptr))
        icons->push_back(h);
}

}  // namespace

std::vector<HWND> ShellTrayIcons()
{
    std::vector<HWND> icons;
    CollectIcons(nullptr, &icons);
    for (HWND tray = FindWindowExA(nullptr, nullptr, "__winex11_standalone_tray", nullptr); tray;
         tray = FindWindowExA(nullptr, tray, "__winex11_standalone_tray", nullptr))
        CollectIcons(tray, &icons);
    return icons;
}

HWND WaitForNewTrayIcon(const std::vector<HWND>& before, DWORD ms)
{
    DWORD start = GetTickCount();
    do {
        for (HWND icon : ShellTrayIcons()) {
            if (std::find(before.begin(), before.end(), icon) == before.end())
                return icon;
        }
        PumpMessages(20);
    } while (GetTickCount() - start < ms);
    return nullptr;
}

bool ShellHasIcon(HWND owner, UINT id)
{
    NOTIFYICONDATAA probe = {};
    probe.cbSize = NOTIFYICONDATAA_V2_SIZE;
    probe.hWnd = owner;
    probe.uID = id;
    return Shell_NotifyIconA(NIM_MODIFY, &probe) != FALSE;
}

KeptTrayIcon::KeptTrayIcon()
{
    window_.reset(CreateWindowA("STATIC", "kept tray icon", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr));
    NOTIFYICONDATAA data = KeptIconRecord(window_.get());
    Shell_NotifyIconA(NIM_ADD, &data);
}

KeptTrayIcon::~KeptTrayIcon()
{
    NOTIFYICONDATAA data = KeptIconRecord(window_.get());
    Shell_NotifyIconA(NIM_DELETE, &data);
}
