#include "install/window_link.h"

#include "app/instance.h"

namespace {

constexpr DWORD kPathWaitMs = 10000;

}  // namespace

std::wstring WindowLink::PathLabelText() const
{
    auto request = std::make_shared<PathRequest>();
    request->answered.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!request->answered)
        return {};
    auto* message = new std::shared_ptr<PathRequest>(request);
    if (!PostMessageW(window_, MSG_WORKER_PATH, 0, reinterpret_cast<LPARAM>(message))) {
        delete message;
        return {};
    }
    // The window's thread never waits for the worker, so the answer comes as
    // soon as it gets to the message; the time-out only covers a hung window.
    if (WaitForSingleObject(request->answered.get(), kPathWaitMs) != WAIT_OBJECT_0)
        return {};
    return request->text;
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
