// The toolkit window's message table: mouse, focus, paint, timer, close and
// the widgets' own WM_TOOLKIT requests.
#include <windowsx.h>

#include <algorithm>

#include "ui/kit/toolkit_window.h"

LRESULT ToolkitWindow::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_NULL:
        if (RunDeleteQueue())
            return 0;
        break;
    case WM_SETFOCUS:
        if (focus)
            focus->OnSetFocus();
        break;
    case WM_KILLFOCUS:
        if (focus)
            focus->OnKillFocus();
        break;
    case WM_PAINT:
    case WM_PRINT:
    case WM_PRINTCLIENT:
        // No BeginPaint: DefWindowProcA validates the update region.
        RenderFrame(hwnd, surface, *this, msg, wParam);
        break;
    case WM_CLOSE:
        if (IsEnabled() != 1 || CanClose() != 1)
            return 0;
        PostQuitMessage(0);
        break;
    case WM_ERASEBKGND:
        return 1;
    case WM_SETCURSOR:
        if (hover && hover->OnSetCursor() == 1)
            return 0;
        break;
    case WM_TIMER:
        OnTimer(wParam);
        break;
    case WM_MOUSEMOVE:
        OnMouseMoveMessage(wParam, lParam);
        break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
        return OnButtonDown(msg, wParam, lParam);
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
        OnButtonUp(msg, wParam, lParam);
        break;
    case WM_MOUSEWHEEL: {
        if (hover)
            hover->OnMouseWheel(wParam, lParam);
        // The wheel carries screen coordinates; the hover check wants client ones.
        POINT at = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        ScreenToClient(hwnd, &at);
        PostMessageA(hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(at.x, at.y));
        break;
    }
    case WM_MOUSEHOVER:
        tracking = 0;
        if (hover)
            hover->OnMouseHover(wParam, lParam);
        break;
    case WM_MOUSELEAVE:
        tracking = 0;
        if (hover) {
            hover->OnMouseLeave(wParam, lParam);
            hover = nullptr;
        }
        break;
    case WM_TOOLKIT:
        if (lParam && wParam >= TK_WIDGET_GONE && wParam <= TK_DELETE_LATER)
            return OnToolkit(wParam, lParam);
        break;
    }
    return DefaultTail(msg, wParam, lParam);
}

LRESULT ToolkitWindow::DefaultTail(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (focus) {
        LRESULT result = 0;
        if (focus->OnMessage(msg, wParam, lParam, &result) == 1)
            return result;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

// Any process on the desktop can post WM_TOOLKIT with any lParam. The
// widget it names is only compared with pointers of this window until it is
// found in the window's own tree; only then is it used.
LRESULT ToolkitWindow::OnToolkit(WPARAM request, LPARAM lParam)
{
    auto* w = reinterpret_cast<Widget*>(lParam);
    switch (request) {
    case TK_WIDGET_GONE:
        ForgetSubtree(w);
        return 0;
    case TK_SET_FOCUS: {
        if (!InTree(w))
            return 0;
        if (focus && focus != w)
            focus->OnKillFocus();
        focus = w;
        int result = w->OnSetFocus();
        if (result == 0)
            focus = nullptr;
        return result;
    }
    case TK_DELETE_LATER:
        if (!InTree(w))
            return 0;
        if (std::find(deleteQueue.begin(), deleteQueue.end(), w) == deleteQueue.end())
            deleteQueue.push_back(w);
        PostMessageA(hwnd, WM_NULL, 0, 0);
        return 0;
    default:
        return reinterpret_cast<LRESULT>(focus);
    }
}

void ToolkitWindow::ForgetSubtree(Widget* gone)
{
    // A widget being destroyed has already left the tree (and its children
    // are gone): it is only compared, never called.
    const bool inTree = InTree(gone);
    auto covers = [gone, inTree](Widget* w) { return w && (w == gone || (inTree && gone->Contains(w))); };
    if (!inTree) {
        // A pending DeleteLater must not reach its address, which a new
        // widget may reuse.
        deleteQueue.erase(std::remove(deleteQueue.begin(), deleteQueue.end(), gone), deleteQueue.end());
        if (!covers(capture) && !covers(focus) && !covers(hover))
            return;
    }
    if (covers(capture)) {
        capture = nullptr;
        ReleaseCapture();
    }
    if (covers(focus))
        focus = nullptr;
    if (covers(hover))
        hover = nullptr;
    POINT at;
    GetCursorPos(&at);
    ScreenToClient(hwnd, &at);
    PostMessageA(hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(at.x, at.y));
}

void ToolkitWindow::OnMouseMoveMessage(WPARAM wParam, LPARAM lParam)
{
    Widget* target = HitTest(LOWORD(lParam), HIWORD(lParam));
    if (target != hover) {
        if (hover)
            hover->OnMouseLeave(wParam, lParam);
        if (target)
            target->OnMouseEnter(wParam, lParam);
        hover = target;
    }
    if (capture)
        capture->OnMouseMove(wParam, lParam);
    else if (hover)
        hover->OnMouseMove(wParam, lParam);
    if (tracking == 0) {
        TRACKMOUSEEVENT track = {sizeof track, TME_HOVER | TME_LEAVE, hwnd, 500};
        TrackMouseEvent(&track);
        tracking = 1;
    }
}

LRESULT ToolkitWindow::OnButtonDown(UINT msg, WPARAM wParam, LPARAM lParam)
{
    // A press that no move came before (a jump of the pointer, a touch, a
    // window that appeared under it) finds its widget the way a move would.
    if (!hover)
        OnMouseMoveMessage(wParam, lParam);
    if (!hover)
        return DefaultTail(msg, wParam, lParam);
    if (msg == WM_LBUTTONDOWN) {
        RECT drag;
        POINT at = {LOWORD(lParam), HIWORD(lParam)};
        if (GetDragRect(&drag, hover) == 1 && PtInRect(&drag, at)) {
            SendMessageA(hwnd, WM_NCLBUTTONDOWN, HTCAPTION, lParam);
            return 0;
        }
    }
    SetCapture(hwnd);
    capture = hover;
    switch (msg) {
    case WM_LBUTTONDOWN: capture->OnLButtonDown(wParam, lParam); break;
    case WM_LBUTTONDBLCLK: capture->OnLButtonDblClk(wParam, lParam); break;
    case WM_RBUTTONDOWN: capture->OnRButtonDown(wParam, lParam); break;
    case WM_RBUTTONDBLCLK: capture->OnRButtonDblClk(wParam, lParam); break;
    case WM_MBUTTONDOWN: capture->OnMButtonDown(wParam, lParam); break;
    default: capture->OnMButtonDblClk(wParam, lParam); break;
    }
    MoveFocusTo(hover);
    return DefaultTail(msg, wParam, lParam);
}

void ToolkitWindow::OnButtonUp(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (!capture)
        return;
    ReleaseCapture();
    Widget* released = capture;
    switch (msg) {
    case WM_LBUTTONUP: released->OnLButtonUp(wParam, lParam); break;
    case WM_RBUTTONUP: released->OnRButtonUp(wParam, lParam); break;
    default: released->OnMButtonUp(wParam, lParam); break;
    }
    capture = nullptr;
}

void ToolkitWindow::MoveFocusTo(Widget* w)
{
    if (focus == w)
        return;
    if (focus)
        focus->OnKillFocus();
    focus = w;
    if (focus)
        focus->OnSetFocus();
}
