#include "ui/kit/surface.h"

#include <cstring>
#include <utility>

#include "base/dib_section.h"
#include "ui/kit/gdiplus_objects.h"
#include "ui/kit/widget.h"

Surface::Surface(int width, int height) : width_(width), height_(height)
{
    void* bits = nullptr;
    canvas_ = MakeDibSectionDc(width, height, &bits);
    bits_ = static_cast<unsigned char*>(bits);
    if (!bits_)
        return;
    Gdiplus::GpBitmap* view = nullptr;
    pixels_.Record(gdip::GdipCreateBitmapFromScan0(width, height, width * 4, PixelFormat32bppPARGB, bits_, &view));
    pixels_.reset(view);
}

Surface& Surface::operator=(Surface&& other) noexcept
{
    if (this == &other)
        return *this;
    // Member by member would free the old bitmap while GDI+ still views it.
    pixels_.reset();
    canvas_ = std::move(other.canvas_);
    pixels_ = std::move(other.pixels_);
    bits_ = std::exchange(other.bits_, nullptr);
    width_ = std::exchange(other.width_, 0);
    height_ = std::exchange(other.height_, 0);
    return *this;
}

// Under Wine a graphics on a DC renders every image and string into a
// temporary bitmap and blends that into the DC; drawing into the DIB's own
// memory skips the round trip, several times faster for a full frame.
GdiplusGraphics Surface::MakeFrameGraphics()
{
    GdiplusGraphics graphics;
    if (!pixels_)
        return graphics;
    if (graphics.Record(gdip::GdipGetImageGraphicsContext(pixels_.get(), graphics.put())) == Gdiplus::Ok)
        graphics.Record(gdip::GdipSetSmoothingMode(graphics.get(), Gdiplus::SmoothingModeAntiAlias));
    return graphics;
}

void Surface::Clear()
{
    if (bits_)
        std::memset(bits_, 0, static_cast<size_t>(width_) * static_cast<size_t>(height_) * 4);
}

bool UsesLayeredPath(HWND hwnd)
{
    return (GetWindowLongA(hwnd, GWL_EXSTYLE) & WS_EX_LAYERED) &&
           !GetLayeredWindowAttributes(hwnd, nullptr, nullptr, nullptr);
}

namespace {

void RenderLayered(HWND hwnd, Surface& surface, Widget& root, UINT msg, WPARAM wParam)
{
    RECT clip;
    GetClientRect(hwnd, &clip);
    surface.Clear();
    GdiplusGraphics graphics = surface.MakeFrameGraphics();
    if (graphics) {
        FrameTargetScope target(graphics.get(), surface.Target());
        root.Paint(graphics.get(), &clip);
        gdip::GdipFlush(graphics.get(), Gdiplus::FlushIntentionSync);
    }
    if (msg != WM_PAINT) {
        BitBlt(reinterpret_cast<HDC>(wParam), 0, 0, clip.right, clip.bottom, surface.dc(), 0, 0, SRCCOPY);
        return;
    }
    RECT window;
    GetWindowRect(hwnd, &window);
    POINT destination = {window.left, window.top};
    SIZE size = {window.right - window.left, window.bottom - window.top};
    POINT source = {0, 0};
    BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    WindowDc screen(hwnd);
    UpdateLayeredWindow(hwnd, screen.get(), &destination, &size, surface.dc(), &source, 0, &blend, ULW_ALPHA);
}

// Without clearing: pixels no widget covers keep the previous frame.
void RenderCopy(HWND hwnd, Surface& surface, Widget& root, UINT msg, WPARAM wParam)
{
    RECT clip;
    if (msg == WM_PAINT)
        GetUpdateRect(hwnd, &clip, FALSE);
    else
        GetClientRect(hwnd, &clip);
    GdiplusGraphics graphics = surface.MakeFrameGraphics();
    if (graphics) {
        FrameTargetScope target(graphics.get(), surface.Target());
        root.Paint(graphics.get(), &clip);
        gdip::GdipFlush(graphics.get(), Gdiplus::FlushIntentionSync);
    }
    if (msg != WM_PAINT) {
        BitBlt(reinterpret_cast<HDC>(wParam), 0, 0, clip.right, clip.bottom, surface.dc(), 0, 0, SRCCOPY);
        return;
    }
    WindowDc target(hwnd);
    BitBlt(target.get(), clip.left, clip.top, clip.right - clip.left, clip.bottom - clip.top, surface.dc(), clip.left,
           clip.top, SRCCOPY);
}

}  // namespace

void RenderFrame(HWND hwnd, Surface& surface, Widget& root, UINT msg, WPARAM wParam)
{
    if (UsesLayeredPath(hwnd))
        RenderLayered(hwnd, surface, root, msg, wParam);
    else
        RenderCopy(hwnd, surface, root, msg, wParam);
}
