// The main window's path label: "安装路径：" and then the install
// directory. It is the one place the worker learns the directory from.
#pragma once

#include <string>

constexpr wchar_t kPathLabelPrefix[] = L"安装路径：";

inline std::wstring InstallDirFromLabel(const std::wstring& label)
{
    constexpr size_t kPrefixLength = sizeof kPathLabelPrefix / sizeof kPathLabelPrefix[0] - 1;
    return label.size() > kPrefixLength ? label.substr(kPrefixLength) : std::wstring();
}
