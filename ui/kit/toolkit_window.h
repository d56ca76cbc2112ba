// The toolkit's top-level window: a Widget that owns a Win32 window, the
// off-screen surface, and the window-wide focus, capture and hover state.
// The window procedure turns mouse, focus, paint, timer and close messages
// into calls on the widget tree. Its setters, CenterWindow and the timers
// are refused off the creating thread, like those of every widget.
#pragma once

#include <windows.h>

#include <vector>

#include "ui/kit/surface.h"
#include "ui/kit/widget.h"

class ToolkitWindow : public Widget {
public:
    // Rectangle form: rect in screen coordinates (parent client
    // coordinates for a WS_CHILD window).
    ToolkitWindow(const RECT* rect, LPCWSTR imageName, LPCWSTR className, HWND parent, DWORD exStyle, DWORD style,
                  UINT classStyle, int id, LPCWSTR resourceType = nullptr, HMODULE module = nullptr);
    // Position form: the window has its image's size.
    ToolkitWindow(int x, int y, LPCWSTR imageName, LPCWSTR className, HWND parent, DWORD exStyle, DWORD style,
                  UINT classStyle, int id, LPCWSTR resourceType = nullptr, HMODULE module = nullptr);
    ~ToolkitWindow() override;

    void SetVisible(int show) override;
    void SetEnabled(int enable) override;
    int IsVisible() override;
    int IsEnabled() override;
    // With a rectangle: moves and resizes the window and replaces the
    // surface; the widget rectangle becomes (0, 0, width, height).
    RECT* SetRect(RECT* oldOut, const RECT* rect, int stretch) override;

    virtual LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam);
    // 1 consumes the message before it is dispatched.
    virtual int PreTranslateMessage(MSG* msg);
    // 1 and a client rectangle when pressing `pressed` there drags the window.
    virtual int GetDragRect(RECT* out, Widget* pressed);
    virtual int CanClose();
    virtual void OnTimer(UINT_PTR timerId);

    // Centres on `reference`; null: on the parent window, or on the work area.
    void CenterWindow(const RECT* reference);
    void SetTimer(UINT_PTR id, UINT ms);
    void KillTimer(UINT_PTR id);

protected:
    // Why the window could not be made (GetLastError); 0 when it was. A
    // window that could not be made leaves the object without a handle.
    DWORD createError = 0;

private:
    static LRESULT CALLBACK StaticWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    void Create(LPCWSTR className, HWND parent, DWORD exStyle, DWORD style, UINT classStyle);
    LRESULT DefaultTail(UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT OnToolkit(WPARAM request, LPARAM lParam);
    void ForgetSubtree(Widget* gone);
    bool InTree(Widget* w);
    // Whether `this` was deleted by the queue.
    bool RunDeleteQueue();
    void OnMouseMoveMessage(WPARAM wParam, LPARAM lParam);
    LRESULT OnButtonDown(UINT msg, WPARAM wParam, LPARAM lParam);
    void OnButtonUp(UINT msg, WPARAM wParam, LPARAM lParam);
    void MoveFocusTo(Widget* w);

    Surface surface;
    int tracking = 0;
    std::vector<Widget*> deleteQueue;
    Widget* focus = this;
    Widget* capture = this;
    Widget* hover = this;
};

// Each thread's toolkit windows by handle, so the message loop can find the
// object of a message's window and of its ancestors.
class WindowRegistry {
public:
    static WindowRegistry& Instance();
    void Register(ToolkitWindow* window);
    void Unregister(ToolkitWindow* window);
    // Null for a handle IsWindow rejects or that this thread did not register.
    ToolkitWindow* Find(HWND hwnd);
};

// The thread's message loop: runs until WM_QUIT and passes the quit on to an
// enclosing loop.
void RunMessageLoop();
