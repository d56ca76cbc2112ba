// The main window's path label: "安装路径：" and then the install
// directory. It is the one place the worker learns the directory from.
#pragma once

#include <string>

#include "base/ansi_text.h"

constexpr wchar_t kPathLabelPrefix[] = L"安装路径：";
// The installed client's program, in the install directory.
constexpr wchar_t kClientProgram[] = L"lobby.exe";

inline std::wstring InstallDirFromLabel(const std::wstring& label)
{
    constexpr size_t kPrefixLength = sizeof kPathLabelPrefix / sizeof kPathLabelPrefix[0] - 1;
    return label.size() > kPrefixLength ? label.substr(kPrefixLength) : std::wstring();
}

// What the shortcut and a running client's restart name: the directory
// (ending with its backslash) and another backslash before the program.
inline std::string ClientTarget(const std::wstring& installDir)
{
    return ToAnsi((installDir + L"\\" + kClientProgram).c_str());
}
