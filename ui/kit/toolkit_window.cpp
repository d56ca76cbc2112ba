#include "ui/kit/toolkit_window.h"

#include <algorithm>

#include "ui/kit/geometry.h"

ToolkitWindow::ToolkitWindow(const RECT* rect, LPCWSTR imageName, LPCWSTR className, HWND parent, DWORD exStyle,
                             DWORD style, UINT classStyle, int id, LPCWSTR resourceType, HMODULE module)
    : Widget(rect, imageName, nullptr, id, nullptr, resourceType, module)
{
    Create(className, parent, exStyle, style, classStyle);
}

ToolkitWindow::ToolkitWindow(int x, int y, LPCWSTR imageName, LPCWSTR className, HWND parent, DWORD exStyle,
                             DWORD style, UINT classStyle, int id, LPCWSTR resourceType, HMODULE module)
    : Widget(x, y, imageName, nullptr, id, nullptr, resourceType, module)
{
    Create(className, parent, exStyle, style, classStyle);
}

void ToolkitWindow::Create(LPCWSTR className, HWND parent, DWORD exStyle, DWORD style, UINT classStyle)
{
    // The window belongs to the thread that creates it, and so does the tree.
    windowThread = GetCurrentThreadId();
    char name[256] = {};
    WideCharToMultiByte(CP_ACP, 0, className, -1, name, sizeof name, nullptr, nullptr);
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    wc.style = classStyle;
    wc.lpfnWndProc = StaticWindowProc;
    wc.cbWndExtra = sizeof(LONG_PTR);
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.lpszClassName = name;
    if (!RegisterClassExA(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
        createError = GetLastError();
        return;
    }
    // The thunk stores the handle in hwnd during WM_NCCREATE.
    if (!CreateWindowExA(exStyle, name, nullptr, style | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, rect.left, rect.top,
                         rect.right - rect.left, rect.bottom - rect.top, parent, nullptr, nullptr, this)) {
        createError = GetLastError();
        // A window that got as far as WM_NCCREATE and was then refused is gone.
        hwnd = nullptr;
        return;
    }
    WindowRegistry::Instance().Register(this);
    RECT bounds = rect;
    RECT scratch;
    SetRect(&scratch, &bounds, stretch);
    visible = (style & WS_VISIBLE) ? 1 : 0;
    ShowWindow(hwnd, visible);
    if (visible)
        InvalidateRect(hwnd, nullptr, FALSE);
}

ToolkitWindow::~ToolkitWindow()
{
    std::vector<Widget*> queued;
    queued.swap(deleteQueue);
    for (Widget* w : queued) {
        if (InTree(w))
            delete w;
    }
    surface = Surface();
    WindowRegistry::Instance().Unregister(this);
    // A handle closed earlier (WM_CLOSE) may since belong to another window.
    if (hwnd && IsWindow(hwnd) && GetWindowLongPtrA(hwnd, 0) == reinterpret_cast<LONG_PTR>(this))
        DestroyWindow(hwnd);
}

LRESULT CALLBACK ToolkitWindow::StaticWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    ToolkitWindow* self = nullptr;
    if (msg == WM_NCCREATE) {
        self = static_cast<ToolkitWindow*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        self->hwnd = hwnd;
        SetWindowLongPtrA(hwnd, 0, reinterpret_cast<LONG_PTR>(self));
    } else {
        self = reinterpret_cast<ToolkitWindow*>(GetWindowLongPtrA(hwnd, 0));
    }
    if (!self)
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    if (msg == WM_NCDESTROY) {
        // The object may outlive its window; neither the registry nor a
        // later message may reach it through this handle.
        SetWindowLongPtrA(hwnd, 0, 0);
        WindowRegistry::Instance().Unregister(self);
    }
    return self->WindowProc(msg, wParam, lParam);
}

void ToolkitWindow::SetVisible(int show)
{
    if (OffWindowThread("ToolkitWindow::SetVisible"))
        return;
    visible = show;
    ShowWindow(hwnd, show);
    if (show == 1)
        Invalidate(nullptr, 0);
}

void ToolkitWindow::SetEnabled(int enable)
{
    if (OffWindowThread("ToolkitWindow::SetEnabled"))
        return;
    enabled = enable;
    EnableWindow(hwnd, enable);
}

int ToolkitWindow::IsVisible()
{
    return IsWindowVisible(hwnd) && visible ? 1 : 0;
}

int ToolkitWindow::IsEnabled()
{
    return IsWindowEnabled(hwnd) && enabled ? 1 : 0;
}

RECT* ToolkitWindow::SetRect(RECT* oldOut, const RECT* r, int s)
{
    if (OffWindowThread("ToolkitWindow::SetRect"))
        return oldOut;
    if (!r) {
        if (oldOut)
            *oldOut = rect;
        return oldOut;
    }
    int width = r->right - r->left;
    int height = r->bottom - r->top;
    MoveWindow(hwnd, r->left, r->top, width, height, FALSE);
    surface = Surface();
    surface = Surface(width, height);
    RECT client = {0, 0, width, height};
    return Widget::SetRect(oldOut, &client, s);
}

int ToolkitWindow::PreTranslateMessage(MSG*)
{
    return 0;
}

int ToolkitWindow::GetDragRect(RECT*, Widget*)
{
    return 0;
}

int ToolkitWindow::CanClose()
{
    return 1;
}

void ToolkitWindow::OnTimer(UINT_PTR) {}

void ToolkitWindow::CenterWindow(const RECT* reference)
{
    if (OffWindowThread("ToolkitWindow::CenterWindow"))
        return;
    if (!hwnd)
        return;
    RECT client;
    GetClientRect(hwnd, &client);
    HWND parentWindow = ::GetParent(hwnd);
    RECT ref;
    if (reference)
        ref = *reference;
    else if (parentWindow)
        GetWindowRect(parentWindow, &ref);
    else
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &ref, 0);
    Point2 origin = CenteredOrigin({ref.left, ref.top, ref.right, ref.bottom}, client.right, client.bottom);
    POINT at = {origin.x, origin.y};
    // A child window is placed in its parent's client coordinates.
    if ((GetWindowLongA(hwnd, GWL_STYLE) & WS_CHILD) && parentWindow)
        ScreenToClient(parentWindow, &at);
    SetWindowPos(hwnd, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

void ToolkitWindow::SetTimer(UINT_PTR id, UINT ms)
{
    if (OffWindowThread("ToolkitWindow::SetTimer"))
        return;
    ::SetTimer(hwnd, id, ms, nullptr);
}

void ToolkitWindow::KillTimer(UINT_PTR id)
{
    if (OffWindowThread("ToolkitWindow::KillTimer"))
        return;
    ::KillTimer(hwnd, id);
}

bool ToolkitWindow::InTree(Widget* w)
{
    return w && (w == this || Contains(w));
}

bool ToolkitWindow::RunDeleteQueue()
{
    while (!deleteQueue.empty()) {
        Widget* w = deleteQueue.front();
        deleteQueue.erase(deleteQueue.begin());
        if (w == this) {
            delete this;
            return true;
        }
        // A widget deleted meanwhile with its parent has left the tree.
        if (InTree(w))
            delete w;
    }
    return false;
}
