// What the install worker and the main window share: the install state,
// the window's timers and the messages by which the worker reaches the
// window. The worker never touches a widget or a timer itself; it posts,
// and the window applies the change on its own thread.
#pragma once

#include <windows.h>

#include <atomic>
#include <memory>
#include <string>

#include "base/unique_resource.h"

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

// Application messages of the main window.
constexpr UINT MSG_ICON_FOUND = WM_APP + 2;     // desktop list view, RECT* of the new icon
constexpr UINT MSG_RETRY_INSTALL = WM_APP + 3;  // failure panel's retry button
constexpr UINT MSG_PARK_INSTALL = WM_APP + 4;   // failure panel's OK button

// The window elements the worker changes.
enum WorkerElement : WPARAM {
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

// Worker to window, posted. The window takes ownership of the text with
// TakeWorkerText.
constexpr UINT MSG_WORKER_TEXT = WM_APP + 0x101;     // element, std::wstring*
constexpr UINT MSG_WORKER_VISIBLE = WM_APP + 0x102;  // element, 0 or 1
constexpr UINT MSG_WORKER_TIMER = WM_APP + 0x103;    // timer id, interval in ms (0 stops it)
// Posted like the rest, so it arrives after what the worker posted before
// it (a sent message would overtake them); the window answers it with
// AnswerPathRequest.
constexpr UINT MSG_WORKER_PATH = WM_APP + 0x104;     // 0, std::shared_ptr<PathRequest>*

inline std::unique_ptr<std::wstring> TakeWorkerText(LPARAM lParam)
{
    return std::unique_ptr<std::wstring>(reinterpret_cast<std::wstring*>(lParam));
}

// Shared by the worker and the message: a worker that gave up waiting
// leaves the window nothing freed to write to.
struct PathRequest {
    std::wstring text;
    UniqueHandle answered;  // manual-reset event, set once `text` is written
};

inline void AnswerPathRequest(LPARAM lParam, const wchar_t* text)
{
    std::unique_ptr<std::shared_ptr<PathRequest>> request(reinterpret_cast<std::shared_ptr<PathRequest>*>(lParam));
    (*request)->text = text ? text : L"";
    SetEvent((*request)->answered.get());
}
