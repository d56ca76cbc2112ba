// The greeting bubble beside the new desktop icon, and the shell's toggle
// that brings the desktop, and so the icon, into view.
#pragma once

#include <windows.h>

#include <memory>

#include "ui/kit/toolkit_window.h"

extern const wchar_t kTipGreeting[];

// Opens the bubble, visible, with its top-left corner at (icon.right,
// icon.top + 5). `icon` is in the list view's client coordinates, taken as
// screen ones: the desktop's list view covers the screen from its origin.
// The list view owns the bubble, so it stays with the desktop.
std::unique_ptr<ToolkitWindow> OpenTipBubble(HWND listView, const RECT& icon);

// Failures are ignored: the bubble is there either way.
void ToggleDesktop();
