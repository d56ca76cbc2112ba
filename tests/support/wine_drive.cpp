#include "tests/support/wine_drive.h"

#include <winioctl.h>

#include <cstring>
#include <vector>

#include "base/unique_resource.h"

namespace {

// Wine's own extension of the mount manager (its ddk/mountmgr.h); a type of
// DRIVE_NO_ROOT_DIR removes the letter.
constexpr DWORD kDefineUnixDrive = CTL_CODE(0x6D, 32, METHOD_BUFFERED, FILE_READ_ACCESS | FILE_WRITE_ACCESS);

struct UnixDrive {
    ULONG size;
    ULONG type;
    ULONG fsType;
    DWORD serial;
    ULONGLONG unixDevice;
    WCHAR letter;
    USHORT mountPointOffset;  // of a NUL-terminated Unix path after the record
    USHORT deviceOffset;
    USHORT labelOffset;
};

bool Define(wchar_t letter, UINT type, const std::string& unixFolder)
{
    std::vector<char> request(sizeof(UnixDrive) + unixFolder.size() + 1, 0);
    auto* drive = reinterpret_cast<UnixDrive*>(request.data());
    drive->size = static_cast<ULONG>(request.size());
    drive->type = type;
    drive->letter = static_cast<WCHAR>(towlower(letter));
    if (!unixFolder.empty()) {
        drive->mountPointOffset = sizeof(UnixDrive);
        memcpy(request.data() + sizeof(UnixDrive), unixFolder.c_str(), unixFolder.size());
    }
    UniqueFile manager(CreateFileW(L"\\\\.\\MountPointManager", GENERIC_READ | GENERIC_WRITE,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr));
    DWORD returned = 0;
    return manager && DeviceIoControl(manager.get(), kDefineUnixDrive, request.data(),
                                      static_cast<DWORD>(request.size()), nullptr, 0, &returned, nullptr);
}

}  // namespace

WineDrive::WineDrive(wchar_t letter, UINT type, const std::string& unixFolder) : letter_(letter)
{
    defined_ = Define(letter, type, unixFolder) && GetDriveTypeW(root().c_str()) == type;
}

WineDrive::~WineDrive()
{
    Define(letter_, DRIVE_NO_ROOT_DIR, "");
}
