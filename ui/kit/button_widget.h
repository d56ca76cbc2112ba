// Push button: an image strip of four cells (normal, hover, pressed,
// disabled) that reports a completed click to its parent.
#pragma once

#include "ui/kit/widget.h"

enum : int32_t {
    WN_BUTTON_CLICKED = -199,
    WN_BUTTON_RCLICKED = -198,
};

class ButtonWidget : public Widget {
public:
    enum Cell { CELL_NORMAL = 0, CELL_HOVER = 1, CELL_PRESSED = 2, CELL_DISABLED = 3 };

    ButtonWidget(int x, int y, LPCWSTR imageName, Widget* parent, int id, LPCWSTR resourceType = nullptr,
                 HMODULE module = nullptr);

    void SetVisible(int visible) override;
    void SetEnabled(int enabled) override;
    void OnMouseEnter(WPARAM wParam, LPARAM lParam) override;
    void OnMouseLeave(WPARAM wParam, LPARAM lParam) override;
    void OnLButtonDown(WPARAM wParam, LPARAM lParam) override;
    void OnLButtonUp(WPARAM wParam, LPARAM lParam) override;
    void OnLButtonDblClk(WPARAM wParam, LPARAM lParam) override;
    void OnRButtonDown(WPARAM wParam, LPARAM lParam) override;
    void OnRButtonUp(WPARAM wParam, LPARAM lParam) override;
    void OnRButtonDblClk(WPARAM wParam, LPARAM lParam) override;

private:
    void Press();

    int pressed = 0;
    int hovered = 0;
};
