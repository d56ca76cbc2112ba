// The base of every visual element, and the image widget itself: one cell
// of a sprite-sheet image inside a rectangle of its window, a list of owned
// children, hit testing, and mouse/focus events turned into notification
// records for the parent.
//
// A widget belongs to the thread of its window (known once it is on one).
// Called from any other thread, its setters, SetFocus, GetFocus, DeleteLater,
// Invalidate, SetRect and SetParent report the misuse (base/misuse.h: a
// debug trace in the shipped program, the end of a test program), do nothing
// and leave out-parameters as they were; the other getters just read.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "ui/kit/gdiplus_objects.h"
#include "ui/kit/image_pixels.h"

// Lives on the sender's stack for the duration of the OnNotify call.
struct NotifyRecord {
    int32_t param1;  // wParam of a mouse message, 0 for state changes
    int32_t param2;  // lParam of a mouse message, or the new value
    int32_t code;
};

enum : int32_t {
    WN_MOUSE_ENTER = -99,
    WN_MOUSE_MOVE = -98,
    WN_MOUSE_HOVER = -97,
    WN_MOUSE_LEAVE = -96,
    WN_LBUTTON_DOWN = -95,
    WN_LBUTTON_UP = -94,
    WN_LBUTTON_DBLCLK = -93,
    WN_RBUTTON_DOWN = -92,
    WN_RBUTTON_UP = -91,
    WN_RBUTTON_DBLCLK = -90,
    WN_MBUTTON_DOWN = -89,
    WN_MBUTTON_UP = -88,
    WN_MBUTTON_DBLCLK = -87,
    WN_MOUSE_WHEEL = -86,
    WN_VISIBLE_CHANGED = -85,
    WN_ENABLED_CHANGED = -84,
    WN_SET_FOCUS = -83,
    WN_KILL_FOCUS = -82,
};

// The private message by which widgets talk to their window; lParam is the
// widget (1 for TK_GET_FOCUS). Anyone can post it: the window acts only for
// widgets of its own tree.
constexpr UINT WM_TOOLKIT = WM_APP + 0x230;
enum : WPARAM {
    TK_WIDGET_GONE = 1,
    TK_SET_FOCUS = 2,
    TK_GET_FOCUS = 3,
    TK_DELETE_LATER = 4,
};

class Widget {
public:
    // Rectangle form (stretch 1): rect is relative to the parent's top-left
    // corner. With a resource type the image is that resource of `module`,
    // otherwise `imageName` is a file path.
    Widget(const RECT* rect, LPCWSTR imageName, Widget* parent, int id, HWND hwnd, LPCWSTR resourceType = nullptr,
           HMODULE module = nullptr);
    // Position form (stretch 0): the rectangle has the image's size, or
    // reaches the parent's right and bottom edges without an image.
    Widget(int x, int y, LPCWSTR imageName, Widget* parent, int id, HWND hwnd, LPCWSTR resourceType = nullptr,
           HMODULE module = nullptr);
    Widget(const Widget&) = delete;
    Widget& operator=(const Widget&) = delete;

    virtual ~Widget();
    virtual void SetVisible(int visible);
    virtual void SetEnabled(int enabled);
    virtual void SetNotify(int notify, int recursive);
    // Refuses a zero column or row count.
    virtual void SetFrameGrid(unsigned cols, unsigned rows);
    virtual void GetFrameGrid(int* cols, int* rows);
    virtual void SetFrame(int col, int row);
    virtual void GetFrame(int* col, int* row);
    virtual void SetAlpha(unsigned alpha);
    virtual void GetAlpha(int* alpha);
    virtual void SetFlip(int x, int y);
    virtual void GetFlip(int* x, int* y);
    virtual void SetCursor(HCURSOR cursor);
    virtual void GetCursor(HCURSOR* cursor);
    virtual int SetFocus();
    virtual int HasFocus();
    virtual int IsVisible();
    virtual int IsEnabled();
    virtual int IsStretched();
    virtual int CanNotify();
    virtual int Contains(Widget* widget);
    virtual HWND GetHwnd();
    virtual void DeleteLater();
    virtual void Invalidate(const RECT* area, int erase);
    virtual RECT* SetRect(RECT* oldOut, const RECT* rect, int stretch);
    virtual RECT* GetRect(RECT* out);
    virtual Widget* HitTest(int x, int y);
    virtual Widget* SetParent(Widget* parent);
    virtual Widget* GetFocus();
    virtual void SetText(const wchar_t* text);
    virtual const wchar_t* GetText();
    virtual int GetId();
    virtual void Paint(Gdiplus::GpGraphics* graphics, const RECT* clip);
    virtual void Draw(Gdiplus::GpGraphics* graphics);
    virtual void OnMouseEnter(WPARAM wParam, LPARAM lParam);
    virtual void OnMouseMove(WPARAM wParam, LPARAM lParam);
    virtual void OnMouseHover(WPARAM wParam, LPARAM lParam);
    virtual void OnMouseLeave(WPARAM wParam, LPARAM lParam);
    virtual void OnLButtonDown(WPARAM wParam, LPARAM lParam);
    virtual void OnLButtonUp(WPARAM wParam, LPARAM lParam);
    virtual void OnLButtonDblClk(WPARAM wParam, LPARAM lParam);
    virtual void OnRButtonDown(WPARAM wParam, LPARAM lParam);
    virtual void OnRButtonUp(WPARAM wParam, LPARAM lParam);
    virtual void OnRButtonDblClk(WPARAM wParam, LPARAM lParam);
    virtual void OnMButtonDown(WPARAM wParam, LPARAM lParam);
    virtual void OnMButtonUp(WPARAM wParam, LPARAM lParam);
    virtual void OnMButtonDblClk(WPARAM wParam, LPARAM lParam);
    virtual void OnMouseWheel(WPARAM wParam, LPARAM lParam);
    virtual int OnSetCursor();
    virtual int OnSetFocus();
    virtual int OnKillFocus();
    virtual int OnNotify(NotifyRecord* record, Widget* sender);
    virtual int OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result);

    const std::vector<Widget*>& Children() const { return children; }
    Widget* GetParent() const { return parent; }

protected:
    // True, after reporting the misuse with `operation` named, when called
    // on another thread than the window's: the caller then does nothing. Every
    // mutating operation asks first, so a thread that waits for a worker
    // can never be blocked by that worker's calls on its widgets.
    bool OffWindowThread(const char* operation) const
    {
        return windowThread != 0 && windowThread != GetCurrentThreadId() && RefuseOffThread(operation);
    }
    // The window's thread for this widget and its descendants.
    void AdoptWindowThread(DWORD thread);

    // Passes a record to the parent when notifications are on; the result of
    // the parent's OnNotify, or 0.
    int Notify(int32_t code, int32_t param1, int32_t param2);
    // rect clipped by the direct parent (by itself without a parent).
    RECT VisibleArea() const;
    void InvalidateOnWindow(const RECT& area, int erase) const;

    HWND hwnd;
    std::vector<Widget*> children;
    std::wstring text;
    Widget* parent;
    GdiplusImage image;
    int enabled = 1;
    int visible = 1;
    int notify = 0;
    int flipX = 0;
    int flipY = 0;
    int stretch;
    RECT rect = {};
    int id;
    unsigned cols = 1;
    unsigned rows = 1;
    int frameCol = 0;
    int frameRow = 0;
    unsigned alpha = 255;
    HCURSOR cursor = nullptr;
    // 0 while the widget is on no window.
    DWORD windowThread = 0;

private:
    static bool RefuseOffThread(const char* operation);

    // The image's pixels as GDI+ draws them, read once at load.
    ImagePixels imagePixels;

    Widget(LPCWSTR imageName, Widget* parent, int id, HWND hwnd, LPCWSTR resourceType, HMODULE module, int stretch);
    void Attach();
};
