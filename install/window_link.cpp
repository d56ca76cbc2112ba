#include "install/window_link.h"

void WindowLink::Push(WorkerUpdate update) const
{
    queue_->Push(std::move(update));
    // A lost post only delays the change: the next one takes it along.
    PostMessageW(window_, MSG_WORKER_QUEUE, 0, 0);
}

void WindowLink::SetText(WorkerElement element, const std::wstring& text) const
{
    Push({WorkerRequest::Text, element, 0, text});
}

void WindowLink::SetVisible(WorkerElement element, bool visible) const
{
    Push({WorkerRequest::Visible, element, visible ? 1u : 0u, {}});
}

void WindowLink::StartTimer(UINT_PTR id, UINT ms) const
{
    Push({WorkerRequest::Timer, id, ms, {}});
}

void WindowLink::StopTimer(UINT_PTR id) const
{
    Push({WorkerRequest::Timer, id, 0, {}});
}

// Queued like the rest, so the window sees it in order with the changes
// around it.
void WindowLink::Activate() const
{
    Push({WorkerRequest::Activate, 0, 0, {}});
}
