// Mouse, cursor, focus and notification handlers of Widget: each event
// becomes a notification record for the parent.
#include "ui/kit/widget.h"

namespace {

int32_t Param(WPARAM value)
{
    return static_cast<int32_t>(value);
}

}  // namespace

void Widget::OnMouseEnter(WPARAM wParam, LPARAM lParam)
{
    // Lets the window pick the cursor of the widget now under the pointer.
    PostMessageA(hwnd, WM_SETCURSOR, 0, 0);
    Notify(WN_MOUSE_ENTER, Param(wParam), Param(lParam));
}

void Widget::OnMouseMove(WPARAM wParam, LPARAM lParam)
{
    Notify(WN_MOUSE_MOVE, Param(wParam), Param(lParam));
}

void Widget::OnMouseHover(WPARAM wParam, LPARAM lParam)
{
    Notify(WN_MOUSE_HOVER, Param(wParam), Param(lParam));
}

void Widget::OnMouseLeave(WPARAM wParam, LPARAM lParam)
{
    PostMessageA(hwnd, WM_SETCURSOR, 0, 0);
    Notify(WN_MOUSE_LEAVE, Param(wParam), Param(lParam));
}

void Widget::OnLButtonDown(WPARAM wParam, LPARAM lParam)
{
    Notify(WN_LBUTTON_DOWN, Param(wParam), Param(lParam));
}

void Widget::OnLButtonUp(WPARAM wParam, LPARAM lParam)
{
    Notify(WN_LBUTTON_UP, Param(wParam), Param(lParam));
}

void Widget::OnLButtonDblClk(WPARAM wParam, LPARAM lParam)
{
    Notify(WN_LBUTTON_DBLCLK, Param(wParam), Param(lParam));
}

void Widget::OnRButtonDown(WPARAM wParam, LPARAM lParam)
{
    Notify(WN_RBUTTON_DOWN, Param(wParam), Param(lParam));
}

void Widget::OnRButtonUp(WPARAM wParam, LPARAM lParam)
{
    Notify(WN_RBUTTON_UP, Param(wParam), Param(lParam));
}

void Widget::OnRButtonDblClk(WPARAM wParam, LPARAM lParam)
{
    Notify(WN_RBUTTON_DBLCLK, Param(wParam), Param(lParam));
}

void Widget::OnMButtonDown(WPARAM wParam, LPARAM lParam)
{
    Notify(WN_MBUTTON_DOWN, Param(wParam), Param(lParam));
}

void Widget::OnMButtonUp(WPARAM wParam, LPARAM lParam)
{
    Notify(WN_MBUTTON_UP, Param(wParam), Param(lParam));
}

void Widget::OnMButtonDblClk(WPARAM wParam, LPARAM lParam)
{
    Notify(WN_MBUTTON_DBLCLK, Param(wParam), Param(lParam));
}

void Widget::OnMouseWheel(WPARAM wParam, LPARAM lParam)
{
    Notify(WN_MOUSE_WHEEL, Param(wParam), Param(lParam));
}

int Widget::OnSetCursor()
{
    if (!cursor)
        return 0;
    ::SetCursor(cursor);
    return 1;
}

int Widget::OnSetFocus()
{
    ::SetFocus(hwnd);
    Notify(WN_SET_FOCUS, 0, 0);
    return 1;
}

int Widget::OnKillFocus()
{
    return Notify(WN_KILL_FOCUS, 0, 0);
}

int Widget::OnNotify(NotifyRecord* record, Widget* sender)
{
    int can = CanNotify();
    if (can != 1)
        return can;
    return parent->OnNotify(record, sender);
}

int Widget::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    if (CanNotify() != 1)
        return 0;
    return parent->OnMessage(msg, wParam, lParam, result);
}
