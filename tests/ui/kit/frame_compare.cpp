#include "tests/ui/kit/frame_compare.h"

Canvas::Canvas(int width, int height) : width_(width), pixels_(static_cast<size_t>(width) * height, 0)
{
    Gdiplus::GpBitmap* view = nullptr;
    gdip::GdipCreateBitmapFromScan0(width, height, width * 4, PixelFormat32bppPARGB,
                                    reinterpret_cast<BYTE*>(pixels_.data()), &view);
    view_.reset(view);
    if (view_)
        gdip::GdipGetImageGraphicsContext(view_.get(), graphics_.put());
}

bool SavePng(const std::wstring& path, int width, int height, std::vector<uint32_t> argb)
{
    Gdiplus::GpBitmap* bitmap = nullptr;
    gdip::GdipCreateBitmapFromScan0(width, height, width * 4, PixelFormat32bppARGB,
                                    reinterpret_cast<BYTE*>(argb.data()), &bitmap);
    GdiplusImage image(bitmap);
    if (!image)
        return false;
    const CLSID png = {0x557CF406, 0x1A04, 0x11D3, {0x9A, 0x73, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};
    return gdip::GdipSaveImageToFile(image.get(), path.c_str(), &png, nullptr) == Gdiplus::Ok;
}

std::vector<uint32_t> Backdrop()
{
    std::vector<uint32_t> backdrop(200 * 120);
    for (int y = 0; y < 120; ++y)
        for (int x = 0; x < 200; ++x)
            backdrop[y * 200 + x] = (static_cast<uint32_t>((x + y * 3) % 256) << 24) |
                                    (static_cast<uint32_t>(x * 5 % 256) << 16) | (static_cast<uint32_t>(y * 2) << 8) |
                                    static_cast<uint32_t>((x ^ y) & 0xFF);
    return backdrop;
}

int CountDifferences(const Pixels& got, const Canvas& expected, std::string* first)
{
    int differing = 0;
    for (int y = 0; y < got.height; ++y) {
        for (int x = 0; x < got.width; ++x) {
            if (got.at(x, y) == expected.at(x, y))
                continue;
            if (differing++ == 0)
                *first = std::to_string(x) + "," + std::to_string(y) + ": " + Hex(got.at(x, y)) + " instead of " +
                         Hex(expected.at(x, y));
        }
    }
    return differing;
}
