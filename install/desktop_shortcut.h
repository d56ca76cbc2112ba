// The desktop shortcut to the installed client, made after a successful
// extraction; the only shortcut the installer creates.
#pragma once

#include <string>

// "<desktop>\<displayName>.lnk" pointing at "<installDir>\lobby.exe" (two
// backslashes: installDir ends with one), working directory installDir.
// Failures are silent; the settings broadcast follows in every case.
void createDesktopShortcut(const std::wstring& installDir, const std::wstring& displayName);
