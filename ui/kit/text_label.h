// One line (or block) of text drawn with GDI+ over an optional image, with
// its own clones of the font, string format and brush it was given.
#pragma once

#include "ui/kit/rendered_text.h"
#include "ui/kit/widget.h"

enum : int32_t {
    WN_LABEL_CLICKED = -299,
    WN_LABEL_RCLICKED = -298,
};

// A label's font family, size in points and colour.
struct LabelStyle {
    const wchar_t* family;
    float size;
    Gdiplus::ARGB color;
};

class TextLabel : public Widget {
public:
    // The caller keeps what it passes; null picks the defaults (12-point
    // "宋体", a plain format, white at alpha 254).
    TextLabel(const RECT* rect, LPCWSTR imageName, Widget* parent, GdiplusFont* font, GdiplusStringFormat* format,
              GdiplusBrush* brush, int id, LPCWSTR resourceType = nullptr, HMODULE module = nullptr);
    // Without an image, in `style` with a plain format.
    TextLabel(const RECT* rect, Widget* parent, const LabelStyle& style, int id = 0);

    // Null or empty clears the text.
    void SetLabelText(const wchar_t* text);
    const wchar_t* GetLabelText() const;

    void Draw(Gdiplus::GpGraphics* graphics) override;
    void OnLButtonUp(WPARAM wParam, LPARAM lParam) override;
    void OnRButtonUp(WPARAM wParam, LPARAM lParam) override;

    // Read-only: the rendered text is kept while these stay as they are.
    const GdiplusFont& Font() const { return font; }
    const GdiplusStringFormat& Format() const { return format; }
    const GdiplusBrush& Brush() const { return brush; }

private:
    bool Inside(LPARAM lParam) const;

    std::wstring labelText;
    GdiplusFont font;
    GdiplusStringFormat format;
    GdiplusBrush brush;
    RenderedText rendered;
};
