// Keeps a file open without sharing, as a running client keeps its files,
// until the test lets go: file_holder <path> <ready event> <release event>.
#include <windows.h>
#include <shellapi.h>

#include "base/unique_resource.h"

int main()
{
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv || argc != 4)
        return 2;
    UniqueFile file(CreateFileW(argv[1], GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, 0, nullptr));
    UniqueHandle ready(OpenEventW(EVENT_MODIFY_STATE, FALSE, argv[2]));
    UniqueHandle release(OpenEventW(SYNCHRONIZE, FALSE, argv[3]));
    if (!file || !ready || !release)
        return 1;
    SetEvent(ready.get());
    WaitForSingleObject(release.get(), 60000);
    return 0;
}
