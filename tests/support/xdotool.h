// Pointer and keyboard input as a person gives it: xdotool on the test
// display, so that Wine receives real X events. It runs through
// unix_command.exe (tests/support/unix_command.cpp), which the test
// program's build puts beside it.
#pragma once

#include <windows.h>

#include <string>

// Runs xdotool with `arguments` (words without quotes) and waits until it
// has ended; false when it failed or did not end within `ms`.
bool Xdo(const std::string& arguments, DWORD ms = 10000);

// Screen points.
bool PointerTo(POINT at);
bool ClickAt(POINT at);
// xdotool words that bring the pointer to `at` with motion on the way.
std::string ArriveAt(POINT at);
// An xdotool key name such as "alt+F4", pressed where the pointer is.
bool PressKeys(const std::string& keys);

// The Unix path of a Windows path (Wine maps every drive onto one).
std::string UnixPath(const std::wstring& windowsPath);
