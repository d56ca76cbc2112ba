// A handler put in front of a window's own procedure with the platform's
// subclassing helpers (comctl32): every message of the window reaches the
// handler first and then, unchanged, the procedures that were there before.
// One per window.
#pragma once

#include <windows.h>

class TraySubclass {
public:
    using Handler = void (*)(void* context, UINT msg, WPARAM wParam, LPARAM lParam);

    TraySubclass() = default;
    ~TraySubclass() { Undo(); }
    TraySubclass(const TraySubclass&) = delete;
    TraySubclass& operator=(const TraySubclass&) = delete;

    // False when the window belongs to another thread (or process), when
    // another handler already sits on it, or without the helpers.
    bool Install(HWND owner, Handler handler, void* context);
    // Takes our subclass out of the window's chain. When a procedure set
    // the old way (SetWindowLongPtr) sits on top of the helpers' and ours is
    // their last subclass, taking it out would strand that procedure: ours
    // then stays in the chain and only passes messages on, until the window
    // is destroyed or the next handler takes it over.
    void Undo();
    bool Installed() const { return owner_ != nullptr; }

private:
    static LRESULT CALLBACK Procedure(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                      DWORD_PTR self);

    HWND owner_ = nullptr;
    Handler handler_ = nullptr;
    void* context_ = nullptr;
};
