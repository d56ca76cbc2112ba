#include "tests/ui/main/window_folder_dialog.h"

#include <commctrl.h>

#include "tests/support/windows.h"
#include "tests/support/xdotool.h"

namespace {

constexpr size_t kRemoteSize = 4096;
constexpr int kTextUnits = 260;

BOOL CALLBACK TakeTree(HWND child, LPARAM found)
{
    char name[64] = {};
    GetClassNameA(child, name, sizeof name);
    if (lstrcmpA(name, WC_TREEVIEWA) != 0)
        return TRUE;
    *reinterpret_cast<HWND*>(found) = child;
    return FALSE;
}

HWND FindTree(HWND dialog)
{
    HWND tree = nullptr;
    EnumChildWindows(dialog, TakeTree, reinterpret_cast<LPARAM>(&tree));
    return tree;
}

bool EndsWith(const std::wstring& text, const std::wstring& ending)
{
    return text.size() >= ending.size() && text.compare(text.size() - ending.size(), ending.size(), ending) == 0;
}

}  // namespace

FolderDialog::FolderDialog(DWORD processId, HANDLE process) : processId_(processId), process_(process)
{
    remote_ = VirtualAllocEx(process_, nullptr, kRemoteSize, MEM_COMMIT, PAGE_READWRITE);
}

FolderDialog::~FolderDialog()
{
    if (remote_)
        VirtualFreeEx(process_, remote_, 0, MEM_RELEASE);
}

bool FolderDialog::Wait(DWORD ms)
{
    DWORD start = GetTickCount();
    do {
        dialog_ = WaitForProcessWindow(processId_, "#32770", 50);
        tree_ = dialog_ ? FindTree(dialog_) : nullptr;
        // The root is inserted while the dialog initialises.
        if (tree_ && SendMessageW(tree_, TVM_GETNEXTITEM, TVGN_ROOT, 0))
            return remote_ != nullptr;
    } while (GetTickCount() - start < ms);
    return false;
}

std::wstring FolderDialog::Text(HTREEITEM item)
{
    auto* base = static_cast<char*>(remote_);
    wchar_t* remoteText = reinterpret_cast<wchar_t*>(base + sizeof(TVITEMW));
    TVITEMW query = {};
    query.mask = TVIF_TEXT | TVIF_HANDLE;
    query.hItem = item;
    query.pszText = remoteText;
    query.cchTextMax = kTextUnits;
    wchar_t text[kTextUnits];
    wmemset(text, L'\0', kTextUnits);
    if (!WriteProcessMemory(process_, remoteText, text, sizeof text, nullptr) ||
        !WriteProcessMemory(process_, base, &query, sizeof query, nullptr) ||
        !SendMessageW(tree_, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(base)))
        return {};
    // The control may answer with a pointer of its own instead of filling
    // the buffer.
    if (!ReadProcessMemory(process_, base, &query, sizeof query, nullptr) ||
        !ReadProcessMemory(process_, query.pszText, text, sizeof text, nullptr))
        return {};
    text[kTextUnits - 1] = L'\0';
    return text;
}

HTREEITEM FolderDialog::Child(HTREEITEM parent, const std::wstring& ending)
{
    // Expanding fills the children in: the dialog lists them on demand.
    SendMessageW(tree_, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(parent));
    auto item = reinterpret_cast<HTREEITEM>(SendMessageW(tree_, TVM_GETNEXTITEM, TVGN_CHILD,
                                                         reinterpret_cast<LPARAM>(parent)));
    for (; item; item = reinterpret_cast<HTREEITEM>(
                     SendMessageW(tree_, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(item)))) {
        if (EndsWith(Text(item), ending))
            return item;
    }
    return nullptr;
}

bool FolderDialog::Select(const std::vector<std::wstring>& path)
{
    auto item = reinterpret_cast<HTREEITEM>(SendMessageW(tree_, TVM_GETNEXTITEM, TVGN_ROOT, 0));
    for (const std::wstring& part : path) {
        if (!item || !(item = Child(item, part)))
            return false;
    }
    return item && SendMessageW(tree_, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
}

bool FolderDialog::ClickOk()
{
    RECT button = {};
    HWND ok = GetDlgItem(dialog_, IDOK);
    if (!ok || !IsWindowEnabled(ok) || !GetWindowRect(ok, &button))
        return false;
    return ClickAt({(button.left + button.right) / 2, (button.top + button.bottom) / 2});
}

bool FolderDialog::WaitUntilClosed(DWORD ms)
{
    DWORD start = GetTickCount();
    while (IsWindow(dialog_) && IsWindowVisible(dialog_)) {
        if (GetTickCount() - start > ms)
            return false;
        Sleep(20);
    }
    return true;
}
