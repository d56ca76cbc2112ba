// A handler put in front of a window's own procedure: every message of the
// window reaches the handler first and then, unchanged, the procedure that
// was there before. One per window.
#pragma once

#include <windows.h>

class TraySubclass {
public:
    using Handler = void (*)(void* context, UINT msg, WPARAM wParam, LPARAM lParam);

    TraySubclass() = default;
    ~TraySubclass() { Undo(); }
    TraySubclass(const TraySubclass&) = delete;
    TraySubclass& operator=(const TraySubclass&) = delete;

    // False when the window's procedure cannot be replaced (a window of
    // another process) or another handler already sits on the window.
    bool Install(HWND owner, Handler handler, void* context);
    // Puts the previous procedure back while ours is still the window's.
    // When a later subclass sits on top, it calls ours as its previous one:
    // ours then stays in the chain and only passes messages on.
    void Undo();
    bool Installed() const { return link_ != nullptr; }

private:
    struct Link;
    static LRESULT CALLBACK Procedure(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    static void Unlink(HWND hwnd);

    HWND owner_ = nullptr;
    Handler handler_ = nullptr;
    void* context_ = nullptr;
    // Belongs to the window while our procedure is in its chain.
    Link* link_ = nullptr;
};
