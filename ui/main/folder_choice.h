// The folder chooser of the change-directory button.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "ui/main/install_location.h"

// Asks for a folder in a dialog owned by `owner`; refuses, with a message
// box, one whose client path the launch could not start or with less than
// 55 MB free. Empty when cancelled or refused.
std::optional<InstallLocation> AskForInstallFolder(HWND owner, const std::wstring& displayName);
