// The off-screen 32-bit surface of a window and the composition of one
// frame into it, presented either as a layered window's per-pixel-alpha
// image or by copying the damaged part into an ordinary window.
#pragma once

#include <windows.h>

#include <utility>

#include "base/unique_resource.h"
#include "ui/kit/frame_target.h"
#include "ui/kit/gdiplus_objects.h"

class Widget;

class Surface {
public:
    Surface() = default;
    // A top-down 32-bit DIB section of width x height selected into a memory
    // DC. Creation errors leave a surface that draws nothing.
    Surface(int width, int height);
    Surface(Surface&& other) noexcept { *this = std::move(other); }
    // The replaced surface goes in the destructor's order; the moved-from
    // one is left empty.
    Surface& operator=(Surface&& other) noexcept;

    HDC dc() const { return canvas_.get().dc; }
    // Pixels as blue, green, red, alpha; null when the bitmap failed.
    unsigned char* bits() const { return bits_; }
    int width() const { return width_; }
    int height() const { return height_; }
    // Every pixel fully transparent black.
    void Clear();
    // A frame's graphics drawing straight into the pixels, premultiplied as
    // UpdateLayeredWindow takes them; null when the surface failed.
    GdiplusGraphics MakeFrameGraphics();
    // The same pixels for drawing code that writes them itself.
    FrameTarget Target() const { return {reinterpret_cast<uint32_t*>(bits_), width_, height_, {0, 0, width_, height_}}; }

private:
    // Released last: the owner lets go of the DC before the bitmap.
    UniqueBitmapDc canvas_;
    // GDI+'s view of the same memory, released before it.
    GdiplusImage pixels_;
    unsigned char* bits_ = nullptr;
    int width_ = 0;
    int height_ = 0;
};

// True when `hwnd` is presented with UpdateLayeredWindow: layered, and not
// using colour-key or constant-alpha attributes.
bool UsesLayeredPath(HWND hwnd);

// Composes `root`'s tree into `surface` for WM_PAINT, WM_PRINT or
// WM_PRINTCLIENT (whose wParam is the target DC) and presents it.
void RenderFrame(HWND hwnd, Surface& surface, Widget& root, UINT msg, WPARAM wParam);
