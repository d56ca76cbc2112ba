#include "ui/kit/gdiplus_objects.h"

using namespace Gdiplus;

GdiplusFont MakeFont(const wchar_t* family, float size, int style, Unit unit)
{
    GdiplusFontFamily fontFamily;
    GpStatus status = gdip::GdipCreateFontFamilyFromName(family, nullptr, fontFamily.put());
    if (status != Ok || !fontFamily)
        status = gdip::GdipGetGenericFontFamilySansSerif(fontFamily.put());
    GdiplusFont font;
    if (!fontFamily) {
        font.Record(status != Ok ? status : FontFamilyNotFound);
        return font;
    }
    font.Record(gdip::GdipCreateFont(fontFamily.get(), size, style, unit, font.put()));
    return font;
}

GdiplusFont CloneFont(GdiplusFont& from)
{
    GpFont* clone = nullptr;
    GpStatus status = from.Record(gdip::GdipCloneFont(from.get(), &clone));
    return GdiplusFont(clone, status);
}

GdiplusStringFormat MakeStringFormat(int flags, LANGID language)
{
    GdiplusStringFormat format;
    format.Record(gdip::GdipCreateStringFormat(flags, language, format.put()));
    return format;
}

GdiplusStringFormat CloneStringFormat(GdiplusStringFormat& from)
{
    GpStringFormat* clone = nullptr;
    if (from.Record(gdip::GdipCloneStringFormat(from.get(), &clone)) != Ok)
        return GdiplusStringFormat(nullptr, from.status());
    return GdiplusStringFormat(clone);
}

GdiplusBrush MakeSolidBrush(ARGB color)
{
    GpSolidFill* fill = nullptr;
    GpStatus status = gdip::GdipCreateSolidFill(color, &fill);
    return GdiplusBrush(fill, status);
}

GdiplusBrush CloneBrush(GdiplusBrush& from)
{
    GpBrush* clone = nullptr;
    GpStatus status = from.Record(gdip::GdipCloneBrush(from.get(), &clone));
    return GdiplusBrush(clone, status);
}

GdiplusGraphics MakeGraphics(HDC dc)
{
    GdiplusGraphics graphics;
    if (graphics.Record(gdip::GdipCreateFromHDC(dc, graphics.put())) == Ok)
        graphics.Record(gdip::GdipSetSmoothingMode(graphics.get(), SmoothingModeAntiAlias));
    return graphics;
}
