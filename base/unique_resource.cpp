#include "base/unique_resource.h"

#include <objbase.h>
#include <ole2.h>
#include <wininet.h>

void unique_traits::Internet::Close(Type h)
{
    InternetCloseHandle(h);
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
