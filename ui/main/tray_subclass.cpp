#include "ui/main/tray_subclass.h"

#include <memory>
#include <utility>

namespace {

// The window property that leads our procedure to its link.
constexpr char kLinkProperty[] = "LobbyTraySubclass";

}  // namespace

// Lives as long as our procedure is in the window's chain, which can be
// longer than the subclass object: it is freed when the previous procedure
// goes back or when the window is destroyed.
struct TraySubclass::Link {
    WNDPROC previous = nullptr;
    TraySubclass* subclass = nullptr;  // null: messages only pass through
};

bool TraySubclass::Install(HWND owner, Handler handler, void* context)
{
    Undo();
    if (!owner || !handler)
        return false;
    auto* left = static_cast<Link*>(GetPropA(owner, kLinkProperty));
    if (left) {
        if (left->subclass)
            return false;
        // A link an earlier subclass had to leave in the chain: take it over.
        left->subclass = this;
    } else {
        auto link = std::make_unique<Link>();
        if (!SetPropA(owner, kLinkProperty, link.get()))
            return false;
        // An ANSI procedure, like the toolkit's own: messages pass unconverted.
        auto previous = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(owner, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Procedure)));
        if (!previous) {
            RemovePropA(owner, kLinkProperty);
            return false;
        }
        link->previous = previous;
        link->subclass = this;
        left = link.release();
    }
    owner_ = owner;
    handler_ = handler;
    context_ = context;
    link_ = left;
    return true;
}

void TraySubclass::Undo()
{
    if (!link_)
        return;
    Link* link = std::exchange(link_, nullptr);
    HWND owner = std::exchange(owner_, nullptr);
    handler_ = nullptr;
    context_ = nullptr;
    auto ours = reinterpret_cast<LONG_PTR>(&Procedure);
    if (GetWindowLongPtrA(owner, GWLP_WNDPROC) == ours &&
        SetWindowLongPtrA(owner, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(link->previous))) {
        RemovePropA(owner, kLinkProperty);
        delete link;
        return;
    }
    // Restoring now would cut the later subclass out of the chain.
    link->subclass = nullptr;
}

LRESULT CALLBACK TraySubclass::Procedure(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    auto* link = static_cast<Link*>(GetPropA(hwnd, kLinkProperty));
    if (!link || !link->previous)
        return 0;
    // The handler may undo the subclassing, which frees the link.
    WNDPROC previous = link->previous;
    if (TraySubclass* subclass = link->subclass)
        subclass->handler_(subclass->context_, msg, wParam, lParam);
    LRESULT result = CallWindowProcA(previous, hwnd, msg, wParam, lParam);
    if (msg == WM_NCDESTROY)
        Unlink(hwnd);
    return result;
}

void TraySubclass::Unlink(HWND hwnd)
{
    auto* link = static_cast<Link*>(RemovePropA(hwnd, kLinkProperty));
    if (!link)
        return;
    if (link->subclass) {
        link->subclass->link_ = nullptr;
        link->subclass->owner_ = nullptr;
    }
    delete link;
}
