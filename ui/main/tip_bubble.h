// The greeting bubble beside the new desktop icon.
#pragma once

#include <windows.h>

#include <memory>

#include "ui/kit/toolkit_window.h"

// Opens the bubble, visible, with its top-left corner at (icon.right,
// icon.top + 5). `icon` is in the list view's client coordinates, taken as
// screen ones: the desktop's list view covers the screen from its origin.
// The list view owns the bubble, so it stays with the desktop.
std::unique_ptr<ToolkitWindow> OpenTipBubble(HWND listView, const RECT& icon);

