#include "ui/main/client_launch.h"

#include <windows.h>
#include <shellapi.h>

#include "app/debug_log.h"
#include "base/ansi_text.h"
#include "base/unique_resource.h"
#include "install/path_label.h"

namespace {

constexpr size_t kLaunchBuffer = 512;

// When the membership cannot even be tested, nothing is started.
bool IsAdministrator()
{
    SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
    UniqueSid administrators;
    if (!AllocateAndInitializeSid(&nt, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0, 0,
                                  administrators.put()))
        return false;
    BOOL member = FALSE;
    return CheckTokenMembership(nullptr, administrators.get(), &member) && member;
}

}  // namespace

ClientPathProblem CheckClientPath(const std::wstring& installDir)
{
    std::wstring path = installDir + kClientProgram;
    std::string ansi;
    if (!ToAnsiExactly(path, &ansi))
        return ClientPathProblem::NotInCodePage;
    return ansi.size() < kLaunchBuffer && path.size() < MAX_PATH ? ClientPathProblem::None
                                                                  : ClientPathProblem::TooLong;
}

void LaunchInstalledClient(const std::wstring& installDir, DebugLog& log)
{
    if (!IsAdministrator() || CheckClientPath(installDir) != ClientPathProblem::None)
        return;
    std::string client = ToAnsi((installDir + kClientProgram).c_str());
    SHELLEXECUTEINFOA info = {};
    info.cbSize = sizeof info;
    info.lpVerb = "runas";
    info.lpFile = client.c_str();
    info.nShow = SW_SHOWNORMAL;
    if (ShellExecuteExA(&info))
        return;
    DWORD error = GetLastError();
    if (error == ERROR_CANCELLED)
        log.Write("ShellExecuteEx dwError Do nothing!");
    else
        log.Write("ShellExecuteEx [%d]", static_cast<int>(error));
}
