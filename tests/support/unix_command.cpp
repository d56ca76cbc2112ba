// Runs its command line as a Unix shell command and exits with the
// command's status. Wine starts a Unix program through CreateProcess, but
// hands back no handle to wait for, and the start closes one of the
// caller's own handles (a registry key of the caller's, as seen here): so
// the start happens in this throwaway process, which the test waits for.
#include <windows.h>

#include <cstdlib>
#include <string>

#include "base/unique_resource.h"

namespace {

std::string UnixPathOf(const std::wstring& windowsPath)
{
    using ToUnix = char*(CDECL*)(LPCWSTR);
    auto toUnix = reinterpret_cast<ToUnix>(reinterpret_cast<void (*)()>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    char* path = toUnix ? toUnix(windowsPath.c_str()) : nullptr;
    if (!path)
        return {};
    std::string result = path;
    HeapFree(GetProcessHeap(), 0, path);
    return result;
}

// The command line after the program's own (possibly quoted) name.
std::string Tail(const char* line)
{
    bool quoted = false;
    for (; *line && (quoted || (*line != ' ' && *line != '\t')); ++line) {
        if (*line == '"')
            quoted = !quoted;
    }
    while (*line == ' ' || *line == '\t')
        ++line;
    return line;
}

}  // namespace

int main()
{
    wchar_t folder[MAX_PATH], marker[MAX_PATH];
    if (!GetTempPathW(MAX_PATH, folder) || !GetTempFileNameW(folder, L"unx", 0, marker))
        return 126;
    DeleteFileW(marker);
    std::string done = UnixPathOf(marker);
    std::string command = Tail(GetCommandLineA());
    if (done.empty() || command.empty() || command.find('"') != std::string::npos)
        return 126;
    // The status lands in the file by a rename, so it is never read half written.
    std::string line = "/bin/sh -c \"" + command + "; echo $? > '" + done + ".tmp' && mv '" + done + ".tmp' '" +
                       done + "'\"";
    STARTUPINFOA si = {sizeof si};
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return 127;
    UniqueFile file;
    while (!(file = UniqueFile(CreateFileW(marker, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                           OPEN_EXISTING, FILE_FLAG_DELETE_ON_CLOSE, nullptr))))
        Sleep(5);
    char status[16] = {};
    DWORD got = 0;
    ReadFile(file.get(), status, sizeof status - 1, &got, nullptr);
    return atoi(status);
}
