// Notice popup: a layered window laid over its owner, holding a panel,
// labels and two buttons. Either button sends the owner's message for it
// and hides the popup; the panel is a drag handle.
#pragma once

#include "ui/kit/toolkit_window.h"

class PopupWindow : public ToolkitWindow {
public:
    enum : int { ID_OK_BUTTON = 1002, ID_RETRY_BUTTON = 1003 };

    // Hidden, with the size of `rect`, centred on `owner`. The buttons send
    // `okMessage` and `retryMessage` (wParam and lParam 0) to the owner.
    PopupWindow(const RECT* rect, HWND owner, UINT okMessage, UINT retryMessage);

    void SetDragWidget(Widget* widget)
    {
        if (!OffWindowThread("PopupWindow::SetDragWidget"))
            dragWidget = widget;
    }

    int OnNotify(NotifyRecord* record, Widget* sender) override;
    int GetDragRect(RECT* out, Widget* pressed) override;

private:
    HWND owner;
    UINT okMessage;
    UINT retryMessage;
    Widget* dragWidget = nullptr;
};
