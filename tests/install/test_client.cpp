// The client the sample archives carry as lobby.exe: it records that it was
// started (beside itself, "lobby_started.txt" with its command line and
// current directory) and ends at once.
#include <windows.h>

#include <string>

#include "base/file_io.h"
#include "base/unique_resource.h"

int main()
{
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring marker = self;
    marker = marker.substr(0, marker.find_last_of(L'\\') + 1) + L"lobby_started.txt";
    wchar_t current[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, current);
    std::wstring text = std::wstring(GetCommandLineW()) + L"\n" + current + L"\n";
    UniqueFile file(CreateFileW(marker.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, 0, nullptr));
    if (!file)
        return 1;
    WriteAll(file.get(), text.data(), static_cast<DWORD>(text.size() * sizeof(wchar_t)));
    return 0;
}
