// The install worker's side of its window: every change is queued for the
// window's thread, so the worker never waits for the window and the window
// never touches a widget from the worker's thread.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "install/install_protocol.h"
#include "install/worker_queue.h"

class WindowLink {
public:
    // The queue is shared: a window that gave up waiting for its worker
    // leaves it nothing freed to push to.
    WindowLink(HWND window, std::shared_ptr<WorkerQueue> queue) : window_(window), queue_(std::move(queue)) {}

    void SetText(WorkerElement element, const std::wstring& text) const;
    void SetVisible(WorkerElement element, bool visible) const;
    void StartTimer(UINT_PTR id, UINT ms) const;
    void StopTimer(UINT_PTR id) const;
    void Activate() const;

private:
    void Push(WorkerUpdate update) const;

    HWND window_;
    std::shared_ptr<WorkerQueue> queue_;
};
