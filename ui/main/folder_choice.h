// The folder chooser of the change-directory button.
#pragma once

#include <optional>
#include <string>

#include "ui/main/install_location.h"

// Asks for a folder; refuses one with less than 55 MB free (or whose
// client path would not fit the launch buffer) with a message box. Empty
// when cancelled or refused.
std::optional<InstallLocation> AskForInstallFolder(const std::wstring& displayName);
