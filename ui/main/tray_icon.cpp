#include "ui/main/tray_icon.h"

#include <cstddef>
#include <cstring>

#include "base/ansi_text.h"

const UINT TrayCallbackMessage = RegisterWindowMessageA("__TRAYMSG_{0342F300-E8F7-4fd5-9C12-2C023A2EA903}__");
const UINT TaskbarCreatedMessage = RegisterWindowMessageA("TaskbarCreated");

namespace {

constexpr UINT kIconFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_INFO;  // 0x17; the balloon stays empty

// The shell reads the record by its size: the version with balloon fields
// but without the item GUID. Its documented layout, in a 32-bit and a
// 64-bit program (handles 4 or 8 bytes, aligned to their size).
constexpr bool k64 = sizeof(void*) == 8;
static_assert(NOTIFYICONDATAA_V2_SIZE == (k64 ? 504 : 488));
static_assert(NOTIFYICONDATAA_V1_SIZE == (k64 ? 104 : 88));
static_assert(sizeof(NOTIFYICONDATAA) == (k64 ? 528 : 508));
static_assert(offsetof(NOTIFYICONDATAA, hWnd) == (k64 ? 8 : 4));
static_assert(offsetof(NOTIFYICONDATAA, uID) == (k64 ? 16 : 8));
static_assert(offsetof(NOTIFYICONDATAA, uFlags) == (k64 ? 20 : 12));
static_assert(offsetof(NOTIFYICONDATAA, uCallbackMessage) == (k64 ? 24 : 16));
static_assert(offsetof(NOTIFYICONDATAA, hIcon) == (k64 ? 32 : 20));
static_assert(offsetof(NOTIFYICONDATAA, szTip) == (k64 ? 40 : 24) && sizeof(NOTIFYICONDATAA::szTip) == 128);
static_assert(offsetof(NOTIFYICONDATAA, dwState) == (k64 ? 168 : 152));
static_assert(offsetof(NOTIFYICONDATAA, szInfo) == (k64 ? 176 : 160) && sizeof(NOTIFYICONDATAA::szInfo) == 256);
static_assert(offsetof(NOTIFYICONDATAA, uTimeout) == (k64 ? 432 : 416));
static_assert(offsetof(NOTIFYICONDATAA, szInfoTitle) == (k64 ? 436 : 420));
static_assert(offsetof(NOTIFYICONDATAA, dwInfoFlags) == (k64 ? 500 : 484));
static_assert(offsetof(NOTIFYICONDATAA, guidItem) == NOTIFYICONDATAA_V2_SIZE);

// How many leading bytes of `tip` fit a field of `capacity` bytes with its
// terminator, without cutting a double-byte character: characters are
// walked from the start, since a trail byte can look like a lead byte.
size_t FittingTipLength(const char* tip, size_t capacity)
{
    size_t kept = 0;
    while (tip[kept]) {
        bool lead = IsAnsiLeadByte(static_cast<unsigned char>(tip[kept]));
        // A lead byte at the very end has no character to belong to.
        if (lead && !tip[kept + 1])
            break;
        size_t width = lead ? 2 : 1;
        if (kept + width > capacity - 1)
            break;
        kept += width;
    }
    return kept;
}

// How long the taskbar may take to answer before the icon gives up on it.
constexpr DWORD kTaskbarAnswerMs = 1000;

// Shell_NotifyIcon sends the record to the taskbar's window, in the desktop's
// owner process (explorer.exe), and Wine's waits for the answer without a
// limit: a taskbar that is starting, ending or hung would stop this thread,
// and the window, with it. A bounded round trip first tells one that answers
// from one that does not; the call then waits only on a taskbar that just
// answered.
BOOL NotifyShell(DWORD message, NOTIFYICONDATAA* data)
{
    HWND taskbar = FindWindowA("Shell_TrayWnd", nullptr);
    DWORD_PTR answer = 0;
    if (!taskbar || !SendMessageTimeoutA(taskbar, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, kTaskbarAnswerMs, &answer))
        return FALSE;
    return Shell_NotifyIconA(message, data);
}

// An elevated owner does not hear unelevated senders, the shell among them,
// except for messages let through one by one. A restarted taskbar's
// broadcast is the one the icon must hear; all it makes the program do is
// add its icon again, whoever sends it. Windows 7 and later: without the
// call, or when it fails, the icon stays away after the taskbar restarts.
void HearTaskbarRestarts(HWND owner)
{
    using AllowMessage = decltype(&ChangeWindowMessageFilterEx);
    HMODULE user = GetModuleHandleW(L"user32.dll");
    auto allow = reinterpret_cast<AllowMessage>(
        reinterpret_cast<void*>(user ? GetProcAddress(user, "ChangeWindowMessageFilterEx") : nullptr));
    if (allow)
        allow(owner, TaskbarCreatedMessage, MSGFLT_ALLOW, nullptr);
}

}  // namespace

TrayIcon::~TrayIcon()
{
    if (shown)
        Remove();
}

int TrayIcon::Setup(HWND ownerWindow, HICON icon, HMENU menu, const char* tip, int restoreRemoves, UINT restoreMsg,
                    UINT menuMsg)
{
    if (iconData || !ownerWindow)
        return 1;
    if (!subclass.Install(ownerWindow, &TrayIcon::OnOwnerMessage, this))
        return 0;
    HearTaskbarRestarts(ownerWindow);
    NOTIFYICONDATAA* data = &iconData.emplace();
    data->cbSize = NOTIFYICONDATAA_V2_SIZE;
    data->hWnd = ownerWindow;
    // The callback finds the menu again through the icon's id.
    data->uID = static_cast<UINT>(HandleToULong(menu));
    data->uFlags = kIconFlags;
    data->uCallbackMessage = TrayCallbackMessage;
    data->hIcon = icon;
    if (tip)
        memcpy(data->szTip, tip, FittingTipLength(tip, sizeof data->szTip));
    restoreMessage = restoreMsg;
    menuMessage = menuMsg;
    removeOnRestore = restoreRemoves;
    return 1;
}

BOOL TrayIcon::Show()
{
    if (!iconData || !NotifyShell(NIM_ADD, &*iconData))
        return FALSE;
    shown = 1;
    return TRUE;
}

BOOL TrayIcon::Remove()
{
    // Every activation removes the icon: one that is not there costs the
    // shell nothing to be asked about.
    if (!iconData || shown != 1 || !NotifyShell(NIM_DELETE, &*iconData))
        return FALSE;
    shown = 0;
    return TRUE;
}

HMENU TrayIcon::Menu() const
{
    // Menu handles are 32-bit values, sign-extended in a 64-bit program.
    return static_cast<HMENU>(LongToHandle(static_cast<LONG>(iconData->uID)));
}

void TrayIcon::OnOwnerMessage(void* context, UINT msg, WPARAM wParam, LPARAM lParam)
{
    auto* self = static_cast<TrayIcon*>(context);
    if (!self->iconData)
        return;
    if (msg == TrayCallbackMessage && wParam == self->iconData->uID) {
        self->OnCallback(lParam);
        return;
    }
    // A restarted shell has forgotten the icon.
    if (msg == TaskbarCreatedMessage && self->shown == 1)
        NotifyShell(NIM_ADD, &*self->iconData);
}

void TrayIcon::OnCallback(LPARAM mouseMessage)
{
    HWND owner = iconData->hWnd;
    if (mouseMessage == static_cast<LPARAM>(restoreMessage)) {
        ShowWindow(owner, SW_SHOW);
        SetForegroundWindow(owner);
        if (removeOnRestore == 1)
            Remove();
        return;
    }
    if (mouseMessage != static_cast<LPARAM>(menuMessage))
        return;
    POINT at = {};
    GetCursorPos(&at);
    // Without the foreground the menu would not close when the user clicks
    // elsewhere.
    SetForegroundWindow(owner);
    TrackPopupMenu(Menu(), TPM_LEFTBUTTON, at.x, at.y, 0, owner, nullptr);
}
