// Toolkit windows by thread and handle, and the thread's message loop.
#include <map>

#include "ui/kit/toolkit_window.h"

namespace {

using ThreadWindows = std::map<HWND, ToolkitWindow*>;

std::map<DWORD, ThreadWindows>& Entries()
{
    // Built on first use, so it exists before any window of any static
    // initialiser; destroyed at process exit.
    static std::map<DWORD, ThreadWindows> entries;
    return entries;
}

}  // namespace

WindowRegistry& WindowRegistry::Instance()
{
    static WindowRegistry registry;
    return registry;
}

void WindowRegistry::Register(ToolkitWindow* window)
{
    if (!window)
        return;
    Entries()[GetCurrentThreadId()][window->GetHwnd()] = window;
}

void WindowRegistry::Unregister(ToolkitWindow* window)
{
    auto thread = Entries().find(GetCurrentThreadId());
    if (thread == Entries().end())
        return;
    ThreadWindows& windows = thread->second;
    for (auto it = windows.begin(); it != windows.end();)
        it = it->second == window ? windows.erase(it) : std::next(it);
}

ToolkitWindow* WindowRegistry::Find(HWND hwnd)
{
    if (!IsWindow(hwnd))
        return nullptr;
    auto thread = Entries().find(GetCurrentThreadId());
    if (thread == Entries().end())
        return nullptr;
    auto found = thread->second.find(hwnd);
    return found == thread->second.end() ? nullptr : found->second;
}

void RunMessageLoop()
{
    MSG msg = {};
    while (GetMessageA(&msg, nullptr, 0, 0) == 1) {
        bool consumed = false;
        for (HWND h = msg.hwnd; h && !consumed; h = ::GetParent(h)) {
            ToolkitWindow* window = WindowRegistry::Instance().Find(h);
            consumed = window && window->PreTranslateMessage(&msg) == 1;
        }
        if (consumed)
            continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    // An enclosing loop ends as well.
    PostQuitMessage(static_cast<int>(msg.wParam));
}
