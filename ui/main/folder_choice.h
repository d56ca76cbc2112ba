// The folder chooser of the change-directory button.
#pragma once

#include <optional>
#include <string>

#include "ui/main/install_location.h"

struct FolderChoice {
    std::optional<InstallLocation> location;  // empty: cancelled or refused
};

// Asks for a folder; refuses one with less than 55 MB free (or whose
// client path would not fit the launch buffer) with a message box.
FolderChoice AskForInstallFolder(const std::wstring& displayName);

// The rule itself, for a folder already picked.
FolderChoice CheckInstallFolder(const std::wstring& folder, const std::wstring& displayName);
