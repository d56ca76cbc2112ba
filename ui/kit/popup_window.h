// Notice popup: a layered window laid over its owner, holding a panel,
// labels and two buttons. Either button sends its message to the owner and
// hides the popup; the panel is a drag handle.
#pragma once

#include "ui/kit/toolkit_window.h"

constexpr UINT MSG_RETRY_INSTALL = WM_APP + 3;
constexpr UINT MSG_PARK_INSTALL = WM_APP + 4;

class PopupWindow : public ToolkitWindow {
public:
    enum : int { ID_PARK_BUTTON = 1002, ID_RETRY_BUTTON = 1003 };

    // Hidden, with the size of `rect`, centred on `owner`.
    PopupWindow(const RECT* rect, HWND owner);

    void SetDragWidget(Widget* widget)
    {
        if (!OffWindowThread("PopupWindow::SetDragWidget"))
            dragWidget = widget;
    }

    int OnNotify(NotifyRecord* record, Widget* sender) override;
    int GetDragRect(RECT* out, Widget* pressed) override;

private:
    HWND owner;
    Widget* dragWidget = nullptr;
};
