// Frames drawn by plain GDI+ calls for pixel-for-pixel comparison with what
// the toolkit draws, and synthetic translucent images.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tests/ui/kit/kit_test_support.h"
#include "ui/kit/gdiplus_objects.h"

// A premultiplied bitmap over our own memory with a graphics on it, as a
// frame is drawn.
class Canvas {
public:
    Canvas(int width, int height);
    Gdiplus::GpGraphics* graphics() const { return graphics_.get(); }
    std::vector<uint32_t>& pixels() { return pixels_; }
    uint32_t at(int x, int y) const { return pixels_[static_cast<size_t>(y) * width_ + x]; }

private:
    int width_;
    std::vector<uint32_t> pixels_;
    GdiplusImage view_;
    GdiplusGraphics graphics_;
};

// Writes straight ARGB pixels as a PNG through GDI+'s own encoder.
bool SavePng(const std::wstring& path, int width, int height, std::vector<uint32_t> argb);

// A 200 x 120 backdrop whose alpha and colours vary everywhere.
std::vector<uint32_t> Backdrop();

// Pixels of `got` that differ from `expected`, and the first of them.
int CountDifferences(const Pixels& got, const Canvas& expected, std::string* first);
