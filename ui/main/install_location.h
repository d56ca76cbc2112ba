// Where the client goes: the install root and the path label that shows
// it. Plain functions.
#pragma once

#include <string>

#include "install/path_label.h"

struct InstallLocation {
    std::wstring root;   // extraction destination, ends with a backslash
    std::wstring label;  // "安装路径：" + root + display name + "\"
};

// "D:\Program Files\" when D: is a fixed disk, else "C:\Program Files\".
InstallLocation DefaultInstallLocation(bool dIsFixedDisk, const std::wstring& displayName);

// A folder from the folder chooser; `ansiLength` is the byte length of its
// ANSI form (3 for a drive root such as "D:\").
InstallLocation PickedInstallLocation(const std::wstring& folder, size_t ansiLength, const std::wstring& displayName);
