// Helpers of the banner tests: child windows and whether this Wine creates the web-browser control at all.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "tests/support/windows.h"

// The one direct child window of `parent`, or null (none or several).
HWND OnlyChild(HWND parent);
// A child window's rectangle in its parent's client coordinates.
RECT ChildRect(HWND child);

// Whether CoCreateInstance makes a web-browser control in this process.
bool BrowserControlAvailable();

std::string Box(const RECT& r);
