// The owner of OLE automation strings, on the template of
// base/unique_resource.h.
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

}  // namespace unique_traits

using UniqueBstr = UniqueResource<unique_traits::Bstr>;
