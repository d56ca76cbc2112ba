// Wine's notification area as the tests see it. Without a desktop shell,
// Wine 8 hands the icons to its X11 driver, which shows them in a
// stand-alone tray window ("__winex11_standalone_tray") or docks them into
// a system tray on the X display. Either way each icon is a window of class
// "__winex11_tray_icon" in the shell's process that relays the mouse
// messages it gets to the icon's owner as the icon's callback message, and
// that is destroyed when the icon is deleted.
#pragma once

#include <windows.h>

#include <vector>

#include "base/unique_resource.h"

// The icon windows, docked or in the stand-alone tray.
std::vector<HWND> ShellTrayIcons();

// An icon window that is not in `before`, waited for up to `ms`; null when
// none appeared.
HWND WaitForNewTrayIcon(const std::vector<HWND>& before, DWORD ms);

// Whether the shell holds icon `id` of `owner`: a modify that changes
// nothing succeeds only for a known icon.
bool ShellHasIcon(HWND owner, UINT id);

// An icon of a hidden window of the test's own, held while the object lives.
// Removing the last icon hides the stand-alone tray window, and Wine waits
// two seconds for the window manager the test display does not have; with
// this one kept, the icons under test come and go at once.
class KeptTrayIcon {
public:
    KeptTrayIcon();
    ~KeptTrayIcon();
    KeptTrayIcon(const KeptTrayIcon&) = delete;
    KeptTrayIcon& operator=(const KeptTrayIcon&) = delete;

private:
    UniqueWindow window_;
};
