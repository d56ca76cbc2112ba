// What the install worker and the main window share: the install state,
// the window's timers and the messages by which the worker reaches the
// window. The worker never touches a widget or a timer itself; it queues
// the change, and the window applies it on its own thread.
#pragma once

#include <windows.h>

#include <atomic>

enum InstallState : int {
    Ready = 0,
    Installing = 1,
    Paused = 2,
    Installed = 3,
    Unpacking = 4,
};

// Written by the window's commands and by the worker.
extern std::atomic<int> installState;

constexpr UINT_PTR TIMER_PROGRESS = 99;
constexpr UINT_PTR TIMER_ANIMATION = 112;
constexpr UINT_PTR TIMER_TIPS = 113;
constexpr UINT_PTR TIMER_ICON_TIP = 114;
constexpr UINT_PTR TIMER_TIP_CLOSE = 115;

// Application messages of the main window. None carries anything the
// window trusts: any program on the desktop can post them.
constexpr UINT MSG_ICON_FOUND = WM_APP + 2;     // the desktop icon was found (its own timer's finding)
constexpr UINT MSG_RETRY_INSTALL = WM_APP + 3;  // failure panel's retry button
constexpr UINT MSG_PARK_INSTALL = WM_APP + 4;   // failure panel's OK button
// The worker queued something for the window (install/worker_queue.h).
constexpr UINT MSG_WORKER_QUEUE = WM_APP + 0x101;

// The window elements the worker changes.
enum WorkerElement : UINT_PTR {
    ELEMENT_SIZE_LABEL = 1,
    ELEMENT_PERCENT_LABEL,
    ELEMENT_CAPTION_LABEL,
    ELEMENT_RUNNER,
    ELEMENT_FAILURE_TITLE,
    ELEMENT_FAILURE_HEADER,
    ELEMENT_FAILURE_REASONS,
    ELEMENT_RETRY_BUTTON,
    ELEMENT_FAILURE_PANEL,
};
