#include "ui/kit/text_label.h"

TextLabel::TextLabel(const RECT* rect, LPCWSTR imageName, Widget* parent, GdiplusFont* givenFont,
                     GdiplusStringFormat* givenFormat, GdiplusBrush* givenBrush, int id, LPCWSTR resourceType,
                     HMODULE module)
    : Widget(rect, imageName, parent, id, nullptr, resourceType, module),
      font(givenFont ? CloneFont(*givenFont) : MakeFont(L"宋体", 12.0f)),
      format(givenFormat ? CloneStringFormat(*givenFormat) : MakeStringFormat()),
      // The alpha below 255 keeps the text on GDI+'s own blending path, so
      // layered windows get covered text pixels rather than alpha holes.
      brush(givenBrush ? CloneBrush(*givenBrush) : MakeSolidBrush(0xFEFFFFFF))
{
}

TextLabel::TextLabel(const RECT* rect, Widget* parent, const LabelStyle& style, int id)
    : Widget(rect, nullptr, parent, id, nullptr),
      font(MakeFont(style.family, style.size)),
      format(MakeStringFormat()),
      brush(MakeSolidBrush(style.color))
{
}

void TextLabel::SetLabelText(const wchar_t* t)
{
    if (OffWindowThread("TextLabel::SetLabelText"))
        return;
    const wchar_t* text = t ? t : L"";
    // The progress timer sets every label ten times a second; most of its
    // texts have not changed, and repainting them costs a compose.
    if (labelText == text)
        return;
    labelText = text;
    Invalidate(nullptr, 0);
}

const wchar_t* TextLabel::GetLabelText() const
{
    return labelText.empty() ? nullptr : labelText.c_str();
}

void TextLabel::Draw(Gdiplus::GpGraphics* graphics)
{
    Widget::Draw(graphics);
    if (labelText.empty())
        return;
    if (const FrameTarget* target = FindFrameTarget(graphics)) {
        font.Record(rendered.Draw(*target, labelText, {font.get(), format.get(), brush.get()}, rect));
        return;
    }
    Gdiplus::RectF layout(static_cast<float>(rect.left), static_cast<float>(rect.top),
                          static_cast<float>(rect.right - rect.left), static_cast<float>(rect.bottom - rect.top));
    font.Record(gdip::GdipDrawString(graphics, labelText.c_str(), -1, font.get(), &layout, format.get(), brush.get()));
}

bool TextLabel::Inside(LPARAM lParam) const
{
    POINT at = {LOWORD(lParam), HIWORD(lParam)};
    return PtInRect(&rect, at);
}

void TextLabel::OnLButtonUp(WPARAM wParam, LPARAM lParam)
{
    Widget::OnLButtonUp(wParam, lParam);
    if (Inside(lParam))
        Notify(WN_LABEL_CLICKED, static_cast<int32_t>(wParam), static_cast<int32_t>(lParam));
}

void TextLabel::OnRButtonUp(WPARAM wParam, LPARAM lParam)
{
    Widget::OnRButtonUp(wParam, lParam);
    if (Inside(lParam))
        Notify(WN_LABEL_RCLICKED, static_cast<int32_t>(wParam), static_cast<int32_t>(lParam));
}
