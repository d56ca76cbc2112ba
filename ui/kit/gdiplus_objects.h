// Thin owners of GDI+ objects over the flat API: one owner per object, and
// the last status of the calls made on it, since drawing failures are kept
// rather than reported.
#pragma once

#include <windows.h>
// WIN32_LEAN_AND_MEAN leaves out the COM types the GDI+ headers use.
#include <objidl.h>
#include <gdiplus.h>

#include "base/unique_resource.h"

namespace gdip = Gdiplus::DllExports;

namespace gdiplus_traits {

template <typename T, Gdiplus::GpStatus (WINGDIPAPI* Free)(T*)>
struct Object {
    using Type = T*;
    static Type Invalid() { return nullptr; }
    static void Close(Type p) { Free(p); }
};

using Image = Object<Gdiplus::GpImage, gdip::GdipDisposeImage>;
using Graphics = Object<Gdiplus::GpGraphics, gdip::GdipDeleteGraphics>;
using Font = Object<Gdiplus::GpFont, gdip::GdipDeleteFont>;
using FontFamily = Object<Gdiplus::GpFontFamily, gdip::GdipDeleteFontFamily>;
using StringFormat = Object<Gdiplus::GpStringFormat, gdip::GdipDeleteStringFormat>;
using Brush = Object<Gdiplus::GpBrush, gdip::GdipDeleteBrush>;
using ImageAttributes = Object<Gdiplus::GpImageAttributes, gdip::GdipDisposeImageAttributes>;

}  // namespace gdiplus_traits

template <typename Traits>
class GdiplusObject {
public:
    using Type = typename Traits::Type;

    GdiplusObject() = default;
    explicit GdiplusObject(Type object, Gdiplus::GpStatus status = Gdiplus::Ok) : object_(object), status_(status) {}

    Type get() const { return object_.get(); }
    explicit operator bool() const { return static_cast<bool>(object_); }
    Type* put() { return object_.put(); }
    void reset(Type object = nullptr) { object_.reset(object); }

    Gdiplus::GpStatus status() const { return status_; }
    // Keeps `status` as the last status and passes it on.
    Gdiplus::GpStatus Record(Gdiplus::GpStatus status) { return status_ = status; }

private:
    UniqueResource<Traits> object_;
    Gdiplus::GpStatus status_ = Gdiplus::Ok;
};

using GdiplusImage = GdiplusObject<gdiplus_traits::Image>;
using GdiplusGraphics = GdiplusObject<gdiplus_traits::Graphics>;
using GdiplusFont = GdiplusObject<gdiplus_traits::Font>;
using GdiplusFontFamily = GdiplusObject<gdiplus_traits::FontFamily>;
using GdiplusStringFormat = GdiplusObject<gdiplus_traits::StringFormat>;
using GdiplusBrush = GdiplusObject<gdiplus_traits::Brush>;
using GdiplusImageAttributes = GdiplusObject<gdiplus_traits::ImageAttributes>;

// Font of `family` (falling back to the generic sans-serif family, which a
// bare Wine prefix may not have: the font is then null with its status).
GdiplusFont MakeFont(const wchar_t* family, float size, int style = Gdiplus::FontStyleRegular,
                     Gdiplus::Unit unit = Gdiplus::UnitPoint);
GdiplusFont CloneFont(GdiplusFont& from);
GdiplusStringFormat MakeStringFormat(int flags = 0, LANGID language = 0);
// Null unless cloning succeeds.
GdiplusStringFormat CloneStringFormat(GdiplusStringFormat& from);
GdiplusBrush MakeSolidBrush(Gdiplus::ARGB color);
GdiplusBrush CloneBrush(GdiplusBrush& from);
// Graphics on a device context with anti-aliased smoothing.
GdiplusGraphics MakeGraphics(HDC dc);
