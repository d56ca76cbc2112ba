#include "ui/kit/popup_window.h"

#include "ui/kit/button_widget.h"

// The empty image path opens nothing: the popup has no image of its own and
// stays transparent wherever its children do not draw.
PopupWindow::PopupWindow(const RECT* rect, HWND owner, UINT okMessage, UINT retryMessage)
    : ToolkitWindow(rect, L"", L"ERROR_WINDOW", owner, WS_EX_LAYERED, WS_POPUP, CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS,
                    0),
      owner(owner),
      okMessage(okMessage),
      retryMessage(retryMessage)
{
    CenterWindow(nullptr);
}

int PopupWindow::OnNotify(NotifyRecord* record, Widget* sender)
{
    if (record->code != WN_BUTTON_CLICKED)
        return 0;
    int id = sender->GetId();
    if (id != ID_OK_BUTTON && id != ID_RETRY_BUTTON)
        return 0;
    // Sent before hiding: the owner has acted when the popup disappears.
    SendMessageA(owner, id == ID_OK_BUTTON ? okMessage : retryMessage, 0, 0);
    SetVisible(0);
    return 0;
}

int PopupWindow::GetDragRect(RECT* out, Widget* pressed)
{
    if (!pressed || pressed != dragWidget)
        return 0;
    GetClientRect(hwnd, out);
    return 1;
}
