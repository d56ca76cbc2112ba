// The installer's window. For now a plain window that keeps the start-up
// order and answers ActivateMessage; the skinned content comes with the
// toolkit.
#pragma once

#include <windows.h>

#include <string>

#include "app/debug_log.h"
#include "ui/kit/toolkit_window.h"

class MainWindow {
public:
    MainWindow();
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;
    ~MainWindow();

    HWND GetHwnd() const { return hwnd_; }
    void LogDebug(const char* format, ...) __attribute__((format(ms_printf, 2, 3)));
    int CanClose();

private:
    static LRESULT CALLBACK StaticProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    void OnActivate();
    void Paint();

    HWND hwnd_ = nullptr;
    DebugLog debugLog;
    std::wstring installDir_;
};

// Extraction destination chosen at start-up ("C:\Program Files\" or the D:
// form), ending with a backslash.
extern std::wstring installRoot;
