// responsive_probe INSTALLER ARCHIVE BYTES: starts the installer, waits for
// its window's first answer, starts its installation as a second start
// would (ActivateMessage), and until the extraction has ended (the desktop
// shortcut appears) sends its window a probe every 10 ms, timing each
// answer; then it ends the installer.
// ARCHIVE is where the download goes; while it holds fewer than BYTES the
// probe counts as "download", afterwards as "extraction". Prints the 99th
// percentile of each phase in ms; the last line is the larger.
#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "base/unique_resource.h"

namespace {

double Now()
{
    LARGE_INTEGER frequency, now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

double Percentile99(std::vector<double> values)
{
    if (values.empty())
        return 0.0;
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, values.size() * 99 / 100)];
}

unsigned long long FileSize(const char* path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path, GetFileExInfoStandard, &data))
        return 0;
    return static_cast<unsigned long long>(data.nFileSizeHigh) << 32 | data.nFileSizeLow;
}

struct Search {
    DWORD pid;
    HWND found;
};

BOOL CALLBACK FindMainWindow(HWND hwnd, LPARAM param)
{
    auto* search = reinterpret_cast<Search*>(param);
    DWORD pid = 0;
    char name[64] = {};
    GetWindowThreadProcessId(hwnd, &pid);
    GetClassNameA(hwnd, name, sizeof name);
    if (pid == search->pid && lstrcmpA(name, "DownloadWindow") == 0 && IsWindowVisible(hwnd)) {
        search->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 4) {
        fprintf(stderr, "usage: responsive_probe INSTALLER ARCHIVE BYTES\n");
        return 2;
    }
    unsigned long long total = strtoull(argv[3], nullptr, 10);
    double launched = Now();
    STARTUPINFOA startup = {sizeof startup};
    PROCESS_INFORMATION info;
    std::string command = std::string("\"") + argv[1] + "\"";
    if (!CreateProcessA(argv[1], command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
        fprintf(stderr, "cannot start %s\n", argv[1]);
        return 1;
    }
    UniqueHandle process(info.hProcess), thread(info.hThread);
    Search search = {info.dwProcessId, nullptr};
    for (int i = 0; i < 2000 && !search.found; ++i) {
        EnumWindows(FindMainWindow, reinterpret_cast<LPARAM>(&search));
        if (!search.found)
            Sleep(5);
    }
    if (!search.found) {
        fprintf(stderr, "no window\n");
        return 1;
    }
    printf("window visible %.0f ms after the start (first start in this prefix)\n", Now() - launched);
    // The first answer comes once the window has finished its own start
    // (and the first message between the two processes is set up): that is
    // before any installation, and no probe of it.
    double first = Now();
    DWORD_PTR answered = 0;
    if (!SendMessageTimeoutA(search.found, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &answered)) {
        fprintf(stderr, "the window does not answer\n");
        return 1;
    }
    printf("first answer %.2f ms after the window showed, before the installation\n", Now() - first);
    PostMessageA(search.found, RegisterWindowMessageA("{88899063-CFEA-492b-93E3-51F14B34CE70}"), 0, 0);

    char desktop[MAX_PATH] = {};
    SHGetSpecialFolderPathA(nullptr, desktop, CSIDL_DESKTOPDIRECTORY, FALSE);
    std::string shortcut = std::string(desktop) + "\\Quillmoor.lnk";
    DeleteFileA(shortcut.c_str());

    std::vector<double> download, extraction;
    while (WaitForSingleObject(process.get(), 10) == WAIT_TIMEOUT &&
           GetFileAttributesA(shortcut.c_str()) == INVALID_FILE_ATTRIBUTES) {
        bool downloading = FileSize(argv[2]) < total;
        double start = Now();
        DWORD_PTR answer = 0;
        if (!SendMessageTimeoutA(search.found, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &answer))
            break;  // the window is gone
        (downloading ? download : extraction).push_back(Now() - start);
    }
    // The benchmark archive carries no client to start.
    TerminateProcess(process.get(), 0);
    double p99Download = Percentile99(download);
    double p99Extraction = Percentile99(extraction);
    printf("download: %zu probes, 99th percentile %.2f ms\n", download.size(), p99Download);
    printf("extraction: %zu probes, 99th percentile %.2f ms\n", extraction.size(), p99Extraction);
    printf("probe answer, 99th percentile: %.2f ms\n", std::max(p99Download, p99Extraction));
    return download.empty() || extraction.empty() ? 1 : 0;
}
