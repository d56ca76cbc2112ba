// What an install worker asks of its window, handed over through a locked
// queue that the window owns. The worker pushes and posts a bare
// MSG_WORKER_QUEUE; the window's thread takes everything that waits. No
// message carries a pointer, so a message from anyone else can at most make
// the window look at its own queue.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

enum class WorkerRequest {
    Text,     // target: element; text
    Visible,  // target: element; value 0 or 1
    Timer,    // target: timer id; value: interval in ms, 0 stops it
    Activate, // as ActivateMessage: the installation succeeded
};

struct WorkerUpdate {
    WorkerRequest request;
    UINT_PTR target;
    UINT value;
    std::wstring text;
};

class WorkerQueue {
public:
    WorkerQueue() = default;
    WorkerQueue(const WorkerQueue&) = delete;
    WorkerQueue& operator=(const WorkerQueue&) = delete;

    // Any thread. Never waits for anything but the short lock.
    void Push(WorkerUpdate update);
    // The window's thread: everything pushed so far, in order.
    std::vector<WorkerUpdate> TakeAll();

private:
    // A slim lock: held only to move an element, never across a wait, so
    // a paused worker never holds it.
    SRWLOCK lock_ = SRWLOCK_INIT;
    std::vector<WorkerUpdate> pending_;
};
