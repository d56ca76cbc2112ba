#include "ui/kit/button_widget.h"

ButtonWidget::ButtonWidget(int x, int y, LPCWSTR imageName, Widget* parent, int id, LPCWSTR resourceType,
                           HMODULE module)
    : Widget(x, y, imageName, parent, id, nullptr, resourceType, module)
{
    cursor = LoadCursorA(nullptr, IDC_HAND);
    SetFrameGrid(4, 1);
    SetFrame(CELL_NORMAL, 0);
    SetNotify(1, 1);
}

void ButtonWidget::SetVisible(int v)
{
    if (OffWindowThread("ButtonWidget::SetVisible"))
        return;
    if (v != visible) {
        pressed = hovered = 0;
        SetFrame(CELL_NORMAL, 0);
    }
    Widget::SetVisible(v);
}

void ButtonWidget::SetEnabled(int e)
{
    if (OffWindowThread("ButtonWidget::SetEnabled"))
        return;
    if (e != enabled) {
        pressed = hovered = 0;
        SetFrame(e == 1 ? CELL_NORMAL : CELL_DISABLED, 0);
    }
    Widget::SetEnabled(e);
}

void ButtonWidget::OnMouseEnter(WPARAM wParam, LPARAM lParam)
{
    hovered = 1;
    SetFrame(pressed == 1 ? CELL_PRESSED : CELL_HOVER, 0);
    Widget::OnMouseEnter(wParam, lParam);
}

// The button stays pressed while held outside; it shows normal until the
// pointer returns.
void ButtonWidget::OnMouseLeave(WPARAM wParam, LPARAM lParam)
{
    hovered = 0;
    SetFrame(CELL_NORMAL, 0);
    Widget::OnMouseLeave(wParam, lParam);
}

void ButtonWidget::Press()
{
    pressed = 1;
    SetFrame(CELL_PRESSED, 0);
}

void ButtonWidget::OnLButtonDown(WPARAM wParam, LPARAM lParam)
{
    Press();
    Widget::OnLButtonDown(wParam, lParam);
}

void ButtonWidget::OnLButtonUp(WPARAM wParam, LPARAM lParam)
{
    pressed = 0;
    Widget::OnLButtonUp(wParam, lParam);
    if (hovered != 1)
        return;
    SetFrame(CELL_HOVER, 0);
    Notify(WN_BUTTON_CLICKED, static_cast<int32_t>(wParam), static_cast<int32_t>(lParam));
}

void ButtonWidget::OnLButtonDblClk(WPARAM wParam, LPARAM lParam)
{
    Press();
    Widget::OnLButtonDblClk(wParam, lParam);
}

void ButtonWidget::OnRButtonDown(WPARAM wParam, LPARAM lParam)
{
    Press();
    Widget::OnRButtonDown(wParam, lParam);
}

void ButtonWidget::OnRButtonUp(WPARAM wParam, LPARAM lParam)
{
    pressed = 0;
    Widget::OnRButtonUp(wParam, lParam);
    if (hovered != 1)
        return;
    SetFrame(CELL_HOVER, 0);
    Notify(WN_BUTTON_RCLICKED, static_cast<int32_t>(wParam), static_cast<int32_t>(lParam));
}

void ButtonWidget::OnRButtonDblClk(WPARAM wParam, LPARAM lParam)
{
    Press();
    Widget::OnRButtonDblClk(wParam, lParam);
}
