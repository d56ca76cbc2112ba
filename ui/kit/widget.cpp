#include "ui/kit/widget.h"

#include <algorithm>
#include <cstdio>
#include <deque>

#include "base/misuse.h"
#include "ui/kit/frame_target.h"
#include "ui/kit/geometry.h"
#include "ui/kit/image_draw.h"
#include "ui/kit/image_loader.h"

namespace {

Box ToBox(const RECT& r)
{
    return {r.left, r.top, r.right, r.bottom};
}

RECT Intersection(const RECT& a, const RECT& b)
{
    RECT out;
    IntersectRect(&out, &a, &b);
    return out;
}

}  // namespace

Widget::Widget(LPCWSTR imageName, Widget* parent, int id, HWND hwnd, LPCWSTR resourceType, HMODULE module,
               int stretch)
    : hwnd(hwnd), parent(parent), stretch(stretch), id(id)
{
    image = resourceType ? LoadImageFromResource(module, resourceType, imageName) : LoadImageFromFile(imageName);
    imagePixels = ReadImagePixels(image.get());
}

Widget::Widget(const RECT* rect, LPCWSTR imageName, Widget* parent, int id, HWND hwnd, LPCWSTR resourceType,
               HMODULE module)
    : Widget(imageName, parent, id, hwnd, resourceType, module, 1)
{
    if (rect)
        this->rect = *rect;
    Attach();
}

Widget::Widget(int x, int y, LPCWSTR imageName, Widget* parent, int id, HWND hwnd, LPCWSTR resourceType,
               HMODULE module)
    : Widget(imageName, parent, id, hwnd, resourceType, module, 0)
{
    UINT width = 0, height = 0;
    if (image) {
        gdip::GdipGetImageWidth(image.get(), &width);
        gdip::GdipGetImageHeight(image.get(), &height);
        rect = {x, y, x + static_cast<LONG>(width), y + static_cast<LONG>(height)};
    } else if (parent) {
        rect = {x, y, parent->rect.right - parent->rect.left, parent->rect.bottom - parent->rect.top};
    } else {
        rect = {x, y, 0, 0};
    }
    Attach();
}

void Widget::Attach()
{
    if (parent) {
        parent->children.push_back(this);
        hwnd = parent->hwnd;
        windowThread = parent->windowThread;
        OffsetRect(&rect, parent->rect.left, parent->rect.top);
    } else if (hwnd) {
        // Placed straight on a window handle: it belongs to that window's thread.
        windowThread = GetWindowThreadProcessId(hwnd, nullptr);
    }
    InvalidateOnWindow(VisibleArea(), FALSE);
}

Widget::~Widget()
{
    while (!children.empty())
        delete children.front();
    if (parent) {
        auto& siblings = parent->children;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
    }
    if (hwnd)
        SendMessageA(hwnd, WM_TOOLKIT, TK_WIDGET_GONE, reinterpret_cast<LPARAM>(this));
    InvalidateOnWindow(VisibleArea(), FALSE);
}

bool Widget::RefuseOffThread(const char* operation)
{
    char line[160];
    std::snprintf(line, sizeof line, "ui/kit: %s called off its window's thread, ignored", operation);
    ReportMisuse(line);
    return true;
}

void Widget::AdoptWindowThread(DWORD thread)
{
    windowThread = thread;
    for (Widget* child : children)
        child->AdoptWindowThread(thread);
}

RECT Widget::VisibleArea() const
{
    return parent ? Intersection(rect, parent->rect) : rect;
}

// A window handle is not known while a window's own widget part is being
// built; InvalidateRect on null would repaint every window of the desktop.
void Widget::InvalidateOnWindow(const RECT& area, int erase) const
{
    if (hwnd)
        InvalidateRect(hwnd, &area, erase);
}

int Widget::Notify(int32_t code, int32_t param1, int32_t param2)
{
    if (CanNotify() != 1)
        return 0;
    NotifyRecord record = {param1, param2, code};
    return parent->OnNotify(&record, this);
}

void Widget::SetVisible(int v)
{
    if (OffWindowThread("Widget::SetVisible"))
        return;
    if (v == visible)
        return;
    if (!children.empty()) {
        std::deque<Widget*> queue = {this};
        while (!queue.empty()) {
            Widget* w = queue.front();
            queue.pop_front();
            w->SetFrame(0, 0);
            queue.insert(queue.end(), w->children.begin(), w->children.end());
        }
    }
    visible = v;
    Invalidate(nullptr, 0);
    if (hwnd)
        SendMessageA(hwnd, WM_TOOLKIT, TK_WIDGET_GONE, reinterpret_cast<LPARAM>(this));
    Notify(WN_VISIBLE_CHANGED, 0, v);
}

void Widget::SetEnabled(int e)
{
    if (OffWindowThread("Widget::SetEnabled"))
        return;
    if (e == enabled)
        return;
    enabled = e;
    Invalidate(nullptr, 0);
    if (hwnd)
        SendMessageA(hwnd, WM_TOOLKIT, TK_WIDGET_GONE, reinterpret_cast<LPARAM>(this));
    Notify(WN_ENABLED_CHANGED, 0, e);
}

void Widget::SetNotify(int n, int recursive)
{
    if (OffWindowThread("Widget::SetNotify"))
        return;
    if (parent)
        notify = n;
    if (recursive == 1) {
        for (Widget* child : children)
            child->SetNotify(n, 1);
    }
}

void Widget::SetFrameGrid(unsigned c, unsigned r)
{
    if (OffWindowThread("Widget::SetFrameGrid"))
        return;
    Box box = ToBox(rect);
    if (!ShrinkToCell(box, c, r))
        return;
    cols = c;
    rows = r;
    rect = {box.left, box.top, box.right, box.bottom};
}

void Widget::GetFrameGrid(int* c, int* r)
{
    *c = static_cast<int>(cols);
    *r = static_cast<int>(rows);
}

void Widget::SetFrame(int col, int row)
{
    if (OffWindowThread("Widget::SetFrame"))
        return;
    if (col == frameCol && row == frameRow)
        return;
    frameCol = col;
    frameRow = row;
    Invalidate(nullptr, 0);
}

void Widget::GetFrame(int* col, int* row)
{
    *col = frameCol;
    *row = frameRow;
}

void Widget::SetAlpha(unsigned a)
{
    if (OffWindowThread("Widget::SetAlpha"))
        return;
    if (a == alpha)
        return;
    alpha = std::min(a, 255u);
    Invalidate(nullptr, 0);
}

void Widget::GetAlpha(int* a)
{
    *a = static_cast<int>(alpha);
}

void Widget::SetFlip(int x, int y)
{
    if (OffWindowThread("Widget::SetFlip"))
        return;
    if (x == flipX && y == flipY)
        return;
    flipX = x;
    flipY = y;
    Invalidate(nullptr, 0);
}

void Widget::GetFlip(int* x, int* y)
{
    *x = flipX;
    *y = flipY;
}

void Widget::SetCursor(HCURSOR c)
{
    if (OffWindowThread("Widget::SetCursor"))
        return;
    cursor = c;
}

void Widget::GetCursor(HCURSOR* c)
{
    *c = cursor;
}

int Widget::SetFocus()
{
    if (OffWindowThread("Widget::SetFocus"))
        return 0;
    return static_cast<int>(SendMessageA(hwnd, WM_TOOLKIT, TK_SET_FOCUS, reinterpret_cast<LPARAM>(this)));
}

int Widget::HasFocus()
{
    return GetFocus() == this ? 1 : 0;
}

int Widget::IsVisible()
{
    return visible;
}

int Widget::IsEnabled()
{
    return enabled;
}

int Widget::IsStretched()
{
    return stretch;
}

int Widget::CanNotify()
{
    return parent && notify == 1 ? 1 : 0;
}

int Widget::Contains(Widget* w)
{
    if (!w)
        return 0;
    for (auto it = children.rbegin(); it != children.rend(); ++it) {
        if (*it == w || (*it)->Contains(w))
            return 1;
    }
    return 0;
}

HWND Widget::GetHwnd()
{
    return hwnd;
}

void Widget::DeleteLater()
{
    if (OffWindowThread("Widget::DeleteLater"))
        return;
    SendMessageA(hwnd, WM_TOOLKIT, TK_DELETE_LATER, reinterpret_cast<LPARAM>(this));
}

void Widget::Invalidate(const RECT* area, int erase)
{
    if (OffWindowThread("Widget::Invalidate"))
        return;
    RECT r = area ? *area : rect;
    InvalidateOnWindow(Intersection(r, parent ? parent->rect : rect), erase);
}

RECT* Widget::SetRect(RECT* oldOut, const RECT* newRect, int s)
{
    if (OffWindowThread("Widget::SetRect"))
        return oldOut;
    RECT old = rect;
    if (parent)
        OffsetRect(&old, -parent->rect.left, -parent->rect.top);
    if (newRect && (!EqualRect(newRect, &old) || s != stretch)) {
        RECT oldAbsolute = rect;
        stretch = s;
        rect = *newRect;
        if (parent)
            OffsetRect(&rect, parent->rect.left, parent->rect.top);
        RECT both;
        UnionRect(&both, &rect, &oldAbsolute);
        Invalidate(&both, 0);
        for (Widget* child : std::vector<Widget*>(children)) {
            RECT childRect = child->rect;
            OffsetRect(&childRect, -oldAbsolute.left, -oldAbsolute.top);
            RECT scratch;
            child->SetRect(&scratch, &childRect, child->stretch);
        }
    }
    if (oldOut)
        *oldOut = old;
    return oldOut;
}

RECT* Widget::GetRect(RECT* out)
{
    *out = rect;
    return out;
}

Widget* Widget::HitTest(int x, int y)
{
    if (visible != 1 || enabled != 1)
        return nullptr;
    RECT clip = VisibleArea();
    if (!PtInRect(&clip, POINT{x, y}))
        return nullptr;
    for (auto it = children.rbegin(); it != children.rend(); ++it) {
        if (Widget* hit = (*it)->HitTest(x, y))
            return hit;
    }
    return this;
}

Widget* Widget::SetParent(Widget* p)
{
    Widget* old = parent;
    if (!p)
        return old;
    // Both trees belong to the caller's thread, or the move is refused.
    if (OffWindowThread("Widget::SetParent") || p->OffWindowThread("Widget::SetParent"))
        return old;
    if (old) {
        OffsetRect(&rect, -old->rect.left, -old->rect.top);
        auto& siblings = old->children;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
    }
    parent = p;
    p->children.push_back(this);
    hwnd = p->hwnd;
    if (p->windowThread)
        AdoptWindowThread(p->windowThread);
    OffsetRect(&rect, p->rect.left, p->rect.top);
    return old;
}

Widget* Widget::GetFocus()
{
    if (OffWindowThread("Widget::GetFocus"))
        return nullptr;
    return reinterpret_cast<Widget*>(SendMessageA(hwnd, WM_TOOLKIT, TK_GET_FOCUS, 1));
}

void Widget::SetText(const wchar_t* t)
{
    if (OffWindowThread("Widget::SetText"))
        return;
    text = t ? t : L"";
}

const wchar_t* Widget::GetText()
{
    return text.empty() ? nullptr : text.c_str();
}

int Widget::GetId()
{
    return id;
}

void Widget::Paint(Gdiplus::GpGraphics* graphics, const RECT* clip)
{
    RECT c;
    if (visible != 1 || !IntersectRect(&c, clip, &rect))
        return;
    SetFrameClip(graphics, c);
    Draw(graphics);
    for (Widget* child : children)
        child->Paint(graphics, &c);
    if (parent)
        ResetFrameClip(graphics);
}

void Widget::Draw(Gdiplus::GpGraphics* graphics)
{
    if (!image)
        return;
    UINT width = 0, height = 0;
    gdip::GdipGetImageWidth(image.get(), &width);
    gdip::GdipGetImageHeight(image.get(), &height);
    CellSource source;
    if (!ComputeCellSource(width, height, cols, rows, frameCol, frameRow, flipX != 0, flipY != 0, stretch == 1,
                           rect.right - rect.left, rect.bottom - rect.top, &source))
        return;
    ImageInfo info = {image.get(), width, height, &imagePixels};
    image.Record(DrawImageCell(graphics, info, rect, source, alpha));
}
