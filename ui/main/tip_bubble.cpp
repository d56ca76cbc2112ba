// The desktop tip: the search for the new icon, the bubble and its end.
#include "ui/main/tip_bubble.h"

#include <objbase.h>
#include <shldisp.h>

#include "app/config.h"
#include "base/ansi_text.h"
#include "ui/kit/text_label.h"
#include "ui/main/desktop_icon_locator.h"
#include "ui/main/main_window.h"

namespace {

const wchar_t kTipGreeting[] = L"HI，恭候您多时了！世界那么大，有您更精彩！戳我开启游戏之旅！";

// Shell.Application and its IShellDispatch4, by value: not every import
// library carries them.
const CLSID kShellApplication = {0x13709620, 0xC279, 0x11CE, {0xA4, 0x9E, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
const IID kShellDispatch4 = {0xEFD84B2D, 0x4BCF, 0x4298, {0xBE, 0x25, 0xEB, 0x54, 0x2A, 0x59, 0xFB, 0xDA}};

// Brings the desktop, and so the icon, into view; failures are ignored:
// the bubble is there either way.
void ToggleDesktop()
{
    // Whatever CoInitialize says, COM may be usable on this thread.
    UniqueComApartment apartment = EnterComApartment();
    UniqueCom<IShellDispatch4> shell;
    if (FAILED(CoCreateInstance(kShellApplication, nullptr,
                                CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER, kShellDispatch4,
                                reinterpret_cast<void**>(shell.put()))))
        return;
    shell.get()->ToggleDesktop();
}

}  // namespace

std::unique_ptr<ToolkitWindow> OpenTipBubble(HWND listView, const RECT& icon)
{
    auto bubble = std::make_unique<ToolkitWindow>(icon.right, icon.top + 5, MAKEINTRESOURCEW(1116), L"ICO_TIPS",
                                                  listView, WS_EX_LAYERED, WS_POPUP, 0, 0, L"IMAGE",
                                                  GetModuleHandleW(nullptr));
    bubble->SetVisible(1);
    RECT area = {15, 5, 209, 40};
    auto* label = new TextLabel(&area, bubble.get(), {L"微软雅黑", 9.0f, 0xFEC8C8C8});
    label->SetLabelText(kTipGreeting);
    return bubble;
}

void MainWindow::OnIconTipTimer()
{
    KillTimer(TIMER_ICON_TIP);
    std::string name = ToAnsi(productRow.displayName);
    HWND listView = nullptr;
    RECT icon = LocateDesktopIcon(name.c_str(), &listView, debugLog);
    if (IsRectEmpty(&icon)) {
        LogDebug("IsRectEmpty() = true");
        return;
    }
    LogDebug("sendmessage WM_APP+2");
    foundIcon = FoundIcon{listView, icon};
    SendMessageA(hwnd, MSG_ICON_FOUND, reinterpret_cast<WPARAM>(listView), reinterpret_cast<LPARAM>(&icon));
}

// The finding is this window's own; a message from elsewhere finds none.
void MainWindow::OnIconFound()
{
    if (!foundIcon)
        return;
    FoundIcon found = *foundIcon;
    foundIcon.reset();
    tipWindow = OpenTipBubble(found.listView, found.icon);
    ToggleDesktop();
}

void MainWindow::OnTipCloseTimer()
{
    KillTimer(TIMER_TIP_CLOSE);
    // Hidden, not destroyed: the process ends soon after anyway.
    if (tipWindow)
        tipWindow->SetVisible(0);
}
