#include "tests/support/windows.h"

#include "tests/support/scratch_dir.h"

namespace {

struct Search {
    DWORD processId;
    const char* className;
    bool visibleOnly;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectWindow(HWND hwnd, LPARAM param)
{
    auto* search = reinterpret_cast<Search*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid != search->processId)
        return TRUE;
    if (search->visibleOnly && !IsWindowVisible(hwnd))
        return TRUE;
    if (search->className) {
        char name[256] = {};
        GetClassNameA(hwnd, name, sizeof name);
        if (lstrcmpA(name, search->className) != 0)
            return TRUE;
    }
    search->found.push_back(hwnd);
    return TRUE;
}

std::vector<HWND> Find(DWORD processId, const char* className, bool visibleOnly)
{
    Search search{processId, className, visibleOnly, {}};
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

}  // namespace

HWND WaitForProcessWindow(DWORD processId, const char* className, DWORD ms)
{
    DWORD start = GetTickCount();
    do {
        auto found = Find(processId, className, true);
        if (!found.empty())
            return found.front();
        PumpMessages(20);
    } while (GetTickCount() - start < ms);
    return nullptr;
}

HWND FindProcessWindow(DWORD processId, const char* className, bool visibleOnly)
{
    auto found = Find(processId, className, visibleOnly);
    return found.empty() ? nullptr : found.front();
}

std::vector<HWND> ProcessWindows(DWORD processId)
{
    return Find(processId, nullptr, false);
}

std::vector<std::wstring> AnswerMessageBoxes(DWORD processId, size_t maxCount, DWORD ms,
                                             const std::atomic<bool>* done)
{
    std::vector<std::wstring> texts;
    DWORD start = GetTickCount();
    while (texts.size() < maxCount && GetTickCount() - start < ms && !(done && *done)) {
        HWND box = WaitForProcessWindow(processId, "#32770", 50);
        if (!box)
            continue;
        // The text is the dialog's static control with id 0xFFFF.
        wchar_t text[512] = {};
        GetDlgItemTextW(box, 0xFFFF, text, 512);
        texts.push_back(text);
        SendMessageW(box, WM_COMMAND, IDOK, 0);
        // Wait until this box is gone so it is not read twice.
        for (int i = 0; i < 100 && IsWindow(box); ++i)
            Sleep(20);
    }
    return texts;
}

void PumpMessages(DWORD ms)
{
    DWORD start = GetTickCount();
    do {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    } while (GetTickCount() - start < ms);
}

bool PumpUntil(const std::function<bool()>& done, DWORD ms)
{
    DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > ms)
            return false;
        // Woken by this thread's messages; the short bound lets conditions
        // that other threads change be looked at again.
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    return true;
}
