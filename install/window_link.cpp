#include "install/window_link.h"

#include "app/instance.h"

namespace {

constexpr size_t kPathUnits = 1024;
constexpr UINT kPathWaitMs = 10000;

}  // namespace

std::wstring WindowLink::PathLabelText() const
{
    wchar_t buffer[kPathUnits] = {};
    DWORD_PTR answered = 0;
    // The window's thread never waits for the worker, so this returns as
    // soon as it gets to the message; the time-out only covers a window
    // that is gone or hung.
    if (!SendMessageTimeoutW(window_, MSG_WORKER_PATH, kPathUnits, reinterpret_cast<LPARAM>(buffer),
                             SMTO_NORMAL, kPathWaitMs, &answered))
        return {};
    buffer[kPathUnits - 1] = L'\0';
    return buffer;
}

void WindowLink::SetText(WorkerElement element, const std::wstring& text) const
{
    auto* copy = new std::wstring(text);
    if (!PostMessageW(window_, MSG_WORKER_TEXT, element, reinterpret_cast<LPARAM>(copy)))
        delete copy;
}

void WindowLink::SetVisible(WorkerElement element, bool visible) const
{
    PostMessageW(window_, MSG_WORKER_VISIBLE, element, visible ? 1 : 0);
}

void WindowLink::StartTimer(UINT_PTR id, UINT ms) const
{
    PostMessageW(window_, MSG_WORKER_TIMER, id, ms);
}

void WindowLink::StopTimer(UINT_PTR id) const
{
    PostMessageW(window_, MSG_WORKER_TIMER, id, 0);
}

void WindowLink::PostActivate() const
{
    PostMessageW(window_, ActivateMessage, 0, 0);
}
