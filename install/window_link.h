// The install worker's side of its window: every change is posted to the
// window's thread, so the worker never waits for the window and the window
// never touches a widget from the worker's thread.
#pragma once

#include <windows.h>

#include <string>

#include "install/install_protocol.h"

class WindowLink {
public:
    explicit WindowLink(HWND window) : window_(window) {}

    // The path label's text, copied on the window's thread; empty when the
    // window does not answer.
    std::wstring PathLabelText() const;
    void SetText(WorkerElement element, const std::wstring& text) const;
    void SetVisible(WorkerElement element, bool visible) const;
    void StartTimer(UINT_PTR id, UINT ms) const;
    void StopTimer(UINT_PTR id) const;
    void PostActivate() const;

private:
    HWND window_;
};
