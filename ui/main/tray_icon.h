// The notification-area icon that stands in for the hidden main window: a
// click with the restore button brings the window back, the menu button
// opens the icon's menu at the cursor, and a recreated taskbar gets the icon
// again. It subclasses its owner to see the shell's mouse messages.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <optional>

#include "ui/main/tray_subclass.h"

// Registered before WinMain runs: the icon's callback message, and the
// shell's broadcast when the taskbar is (re)created.
extern const UINT TrayCallbackMessage;
extern const UINT TaskbarCreatedMessage;

class TrayIcon {
public:
    TrayIcon() = default;
    // Removes a shown icon and gives the owner its procedure back.
    ~TrayIcon();
    TrayIcon(const TrayIcon&) = delete;
    TrayIcon& operator=(const TrayIcon&) = delete;

    // Prepares the icon (its id is the menu handle) without showing it.
    // 0 only when the owner cannot be subclassed; a second call and a null
    // owner change nothing and give 1.
    int Setup(HWND owner, HICON icon, HMENU menu, const char* tip, int removeOnRestore, UINT restoreMessage,
              UINT menuMessage);
    BOOL Show();
    BOOL Remove();

    int IsShown() const { return shown; }
    // What every shell call is given; null until set up.
    const NOTIFYICONDATAA* Record() const { return iconData ? &*iconData : nullptr; }

private:
    static void OnOwnerMessage(void* self, UINT msg, WPARAM wParam, LPARAM lParam);
    void OnCallback(LPARAM mouseMessage);
    HMENU Menu() const;

    // Set once the owner is subclassed; its hWnd is the owner.
    std::optional<NOTIFYICONDATAA> iconData;
    UINT restoreMessage = 0;
    UINT menuMessage = 0;
    TraySubclass subclass;
    int removeOnRestore = 0;
    int shown = 0;
};
