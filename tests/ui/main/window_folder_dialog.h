// The shell's folder dialog of an installer under test, driven from this
// process. Its tree is walked, expanded and selected with tree-view
// messages that carry item handles only, which work across processes; the
// one message that needs a pointer, reading an item's text, gets a buffer
// allocated inside the dialog's process. OK is clicked with the pointer.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

class FolderDialog {
public:
    // `process` needs PROCESS_VM_OPERATION, _READ and _WRITE access.
    FolderDialog(DWORD processId, HANDLE process);
    ~FolderDialog();
    FolderDialog(const FolderDialog&) = delete;
    FolderDialog& operator=(const FolderDialog&) = delete;

    // Waits for the dialog and its tree.
    bool Wait(DWORD ms = 20000);
    // Selects the item reached from the tree's root through items whose
    // texts end with the given parts ("我的电脑", "(C:)", "Games"),
    // expanding each on the way.
    bool Select(const std::vector<std::wstring>& path);
    bool ClickOk();
    HWND window() const { return dialog_; }
    // Waits until the dialog is gone.
    bool WaitUntilClosed(DWORD ms = 20000);

private:
    std::wstring Text(HTREEITEM item);
    HTREEITEM Child(HTREEITEM parent, const std::wstring& ending);

    DWORD processId_;
    HANDLE process_;
    HWND dialog_ = nullptr;
    HWND tree_ = nullptr;
    void* remote_ = nullptr;  // in the dialog's process
};
