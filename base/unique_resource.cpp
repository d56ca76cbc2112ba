#include "base/unique_resource.h"

#include <objbase.h>
#include <ole2.h>
#include <wininet.h>

void unique_traits::Internet::Close(Type h)
{
    InternetCloseHandle(h);
}

void unique_traits::BitmapDc::Close(Type parts)
{
    if (parts.dc) {
        if (parts.original)
            SelectObject(parts.dc, parts.original);
        DeleteDC(parts.dc);
    }
    if (parts.bitmap)
        DeleteObject(parts.bitmap);
}

UniqueBitmapDc SelectIntoMemoryDc(HBITMAP bitmap, HDC reference)
{
    UniqueBitmap owned(bitmap);
    if (!owned)
        return {};
    UniqueMemoryDc dc(CreateCompatibleDC(reference));
    if (!dc)
        return {};
    HGDIOBJ original = SelectObject(dc.get(), owned.get());
    // A bitmap another DC holds, or one of another format, is refused.
    if (!original || original == HGDI_ERROR)
        return {};
    return UniqueBitmapDc({dc.release(), owned.release(), original});
}

void unique_traits::FreeCoTaskMemory(void* p)
{
    CoTaskMemFree(p);
}

void unique_traits::ComApartment::Close(Type)
{
    CoUninitialize();
}

UniqueComApartment EnterComApartment()
{
    return UniqueComApartment(SUCCEEDED(CoInitialize(nullptr)) ? 1 : 0);
}

void unique_traits::OleThread::Close(Type)
{
    OleUninitialize();
}

UniqueOleThread EnterOle()
{
    return UniqueOleThread(SUCCEEDED(OleInitialize(nullptr)) ? 1 : 0);
}
