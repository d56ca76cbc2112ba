// A drive letter of the test prefix on a Unix folder, defined and removed
// at run time through Wine's mount manager, as Wine's own configuration
// tool does it: the mount manager writes the prefix's dosdevices link and
// the drive's type under HKLM\Software\Wine\Drives, and answers
// GetDriveType from its own record, so a link and a registry value made by
// hand would change nothing until the prefix's services restart.
#pragma once

#include <windows.h>

#include <string>

class WineDrive {
public:
    // `type` is DRIVE_FIXED, DRIVE_CDROM, ...
    WineDrive(wchar_t letter, UINT type, const std::string& unixFolder);
    ~WineDrive();
    WineDrive(const WineDrive&) = delete;
    WineDrive& operator=(const WineDrive&) = delete;

    bool defined() const { return defined_; }
    std::wstring root() const { return std::wstring(1, letter_) + L":\\"; }

private:
    wchar_t letter_;
    bool defined_ = false;
};
