// The banner thread: it owns the banner host and its browser control, with
// OLE initialised for itself and a message loop of its own, until the
// process ends.
#pragma once

#include <windows.h>

class Widget;

// Where the banner sits in the main window's client area.
constexpr RECT kBannerRect = {2, 37, 597, 211};

// Starts the thread, which builds the host over `window`, navigates to `url`
// and posts `attachMessage` to `window` with the host widget (a Widget*) in
// lParam: the window attaches it to its tree with SetParent on its own
// thread, so the two threads never change the child list at once. The
// window must not delete the widget; the thread keeps it. False when the
// thread could not start.
bool StartBannerThread(HWND window, const wchar_t* url, UINT attachMessage);

// Whether `widget` is the host the banner thread built: a posted message can
// come from any program, and only that host may join the window's tree.
bool IsBannerHost(const Widget* widget);
