#include "ui/main/tray_subclass.h"

#include <commctrl.h>

#include <utility>

#include "base/system_library.h"

namespace {

// Ours among the window's subclasses, with its procedure.
constexpr UINT_PTR kSubclassId = 1;

// The helpers, looked up at run time: comctl32 is not one of the DLLs the
// system always takes from its own folder, and an import would be searched
// for beside the executable first. Version 5.8 exports them by ordinal only.
struct SubclassHelpers {
    decltype(&SetWindowSubclass) set = nullptr;
    decltype(&GetWindowSubclass) get = nullptr;
    decltype(&RemoveWindowSubclass) remove = nullptr;
    decltype(&DefSubclassProc) forward = nullptr;
};

FARPROC Export(HMODULE module, const char* name, WORD ordinal)
{
    FARPROC found = GetProcAddress(module, name);
    return found ? found : GetProcAddress(module, MAKEINTRESOURCEA(ordinal));
}

template <typename Function>
void Bind(Function& out, HMODULE module, const char* name, WORD ordinal)
{
    out = reinterpret_cast<Function>(reinterpret_cast<void*>(Export(module, name, ordinal)));
}

const SubclassHelpers* Helpers()
{
    static const SubclassHelpers helpers = [] {
        SubclassHelpers found;
        // Loaded for the rest of the process: the helpers stay in use.
        HMODULE comctl = LoadSystemLibrary(L"comctl32.dll").release();
        if (!comctl)
            return found;
        Bind(found.set, comctl, "SetWindowSubclass", 410);
        Bind(found.get, comctl, "GetWindowSubclass", 411);
        Bind(found.remove, comctl, "RemoveWindowSubclass", 412);
        Bind(found.forward, comctl, "DefSubclassProc", 413);
        return found;
    }();
    bool complete = helpers.set && helpers.get && helpers.remove && helpers.forward;
    return complete ? &helpers : nullptr;
}

// The helpers' own window procedure, learnt the first time a subclass puts
// it in: the same one serves every window.
LONG_PTR helperProcedure = 0;

}  // namespace

bool TraySubclass::Install(HWND owner, Handler handler, void* context)
{
    Undo();
    const SubclassHelpers* helpers = Helpers();
    if (!helpers || !owner || !handler)
        return false;
    // Windows' helpers refuse a window of another thread; Wine's would take
    // one of another process and leave it half subclassed.
    if (GetWindowThreadProcessId(owner, nullptr) != GetCurrentThreadId())
        return false;
    DWORD_PTR left = 0;
    if (helpers->get(owner, &Procedure, kSubclassId, &left) && left)
        return false;
    // A subclass an earlier handler had to leave in place is taken over.
    LONG_PTR before = GetWindowLongPtrW(owner, GWLP_WNDPROC);
    if (!helpers->set(owner, &Procedure, kSubclassId, reinterpret_cast<DWORD_PTR>(this)))
        return false;
    LONG_PTR after = GetWindowLongPtrW(owner, GWLP_WNDPROC);
    if (after != before)
        helperProcedure = after;
    owner_ = owner;
    handler_ = handler;
    context_ = context;
    return true;
}

void TraySubclass::Undo()
{
    HWND owner = std::exchange(owner_, nullptr);
    handler_ = nullptr;
    context_ = nullptr;
    const SubclassHelpers* helpers = Helpers();
    if (!owner || !helpers || !IsWindow(owner))
        return;
    bool helpersOnTop = helperProcedure && GetWindowLongPtrW(owner, GWLP_WNDPROC) == helperProcedure;
    if (helpersOnTop && helpers->remove(owner, &Procedure, kSubclassId))
        return;
    helpers->set(owner, &Procedure, kSubclassId, 0);
}

LRESULT CALLBACK TraySubclass::Procedure(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                         DWORD_PTR self)
{
    // Installed, so the helpers are there.
    const SubclassHelpers* helpers = Helpers();
    // The handler may undo the subclassing and end the object.
    if (auto* subclass = reinterpret_cast<TraySubclass*>(self))
        subclass->handler_(subclass->context_, msg, wParam, lParam);
    LRESULT result = helpers->forward(hwnd, msg, wParam, lParam);
    if (msg != WM_NCDESTROY)
        return result;
    // The window is going: its subclasses must go with it.
    DWORD_PTR current = 0;
    if (helpers->get(hwnd, &Procedure, kSubclassId, &current) && current) {
        auto* subclass = reinterpret_cast<TraySubclass*>(current);
        subclass->owner_ = nullptr;
        subclass->handler_ = nullptr;
        subclass->context_ = nullptr;
    }
    helpers->remove(hwnd, &Procedure, kSubclassId);
    return result;
}
