// Helpers of the banner tests: waiting with a pumping thread, child windows
// and whether this Wine creates the web-browser control at all.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

// Handles this thread's messages until `done` holds; false after `ms`.
bool PumpUntil(const std::function<bool()>& done, DWORD ms);

// The one direct child window of `parent`, or null (none or several).
HWND OnlyChild(HWND parent);
// A child window's rectangle in its parent's client coordinates.
RECT ChildRect(HWND child);

// Whether CoCreateInstance makes a web-browser control in this process.
bool BrowserControlAvailable();

std::string Box(const RECT& r);
