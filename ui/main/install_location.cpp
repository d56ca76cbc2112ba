#include "ui/main/install_location.h"

namespace {

InstallLocation At(const std::wstring& root, const std::wstring& displayName)
{
    return {root, kPathLabelPrefix + root + displayName + L"\\"};
}

}  // namespace

InstallLocation DefaultInstallLocation(bool dIsFixedDisk, const std::wstring& displayName)
{
    return At(dIsFixedDisk ? L"D:\\Program Files\\" : L"C:\\Program Files\\", displayName);
}

InstallLocation PickedInstallLocation(const std::wstring& folder, size_t ansiLength, const std::wstring& displayName)
{
    return At(ansiLength == 3 ? folder : folder + L"\\", displayName);
}
