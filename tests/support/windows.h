// Finding and answering the windows of programs under test.
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <string>
#include <vector>

// The first visible top-level window of `processId` with class `className`,
// waited for up to `ms`; null when none appeared.
HWND WaitForProcessWindow(DWORD processId, const char* className, DWORD ms);

// The first top-level window of `processId` with class `className`, now.
HWND FindProcessWindow(DWORD processId, const char* className, bool visibleOnly);
// Every top-level window of a process.
std::vector<HWND> ProcessWindows(DWORD processId);

// Answers the message boxes of `processId` with OK, one after another, and
// returns their texts; stops after `maxCount` boxes, after `ms`, or once
// `done` is set.
std::vector<std::wstring> AnswerMessageBoxes(DWORD processId, size_t maxCount, DWORD ms,
                                             const std::atomic<bool>* done = nullptr);

// Pumps this thread's messages for `ms`.
void PumpMessages(DWORD ms);
// Handles this thread's messages until `done` holds; false after `ms`.
bool PumpUntil(const std::function<bool()>& done, DWORD ms);
