// Owners of OLE library resources on the template of base/unique_resource.h,
// and the interface query every host step uses.
#pragma once

#include <windows.h>
#include <ole2.h>

#include "base/unique_resource.h"

namespace unique_traits {

struct Bstr {
    using Type = BSTR;
    static Type Invalid() { return nullptr; }
    static void Close(Type s) { SysFreeString(s); }
};

// The calling thread's OLE initialisation: 1 once OleInitialize succeeded
// (S_FALSE included, which still wants its OleUninitialize).
struct OleThread {
    using Type = int;
    static Type Invalid() { return 0; }
    static void Close(Type) { OleUninitialize(); }
};

}  // namespace unique_traits

using UniqueBstr = UniqueResource<unique_traits::Bstr>;
using UniqueOleThread = UniqueResource<unique_traits::OleThread>;

inline UniqueOleThread EnterOle()
{
    return UniqueOleThread(SUCCEEDED(OleInitialize(nullptr)) ? 1 : 0);
}

// `object`'s interface `iid`, or an empty owner.
template <typename T>
UniqueCom<T> QueryAs(IUnknown* object, REFIID iid)
{
    UniqueCom<T> out;
    if (object)
        object->QueryInterface(iid, reinterpret_cast<void**>(out.put()));
    return out;
}
