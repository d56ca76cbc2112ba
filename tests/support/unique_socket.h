// The owner of a socket, for the test programs' own small servers, on the
// template of base/unique_resource.h. Sockets are the tests' alone.
#pragma once

#include <winsock2.h>

#include "base/unique_resource.h"

namespace unique_traits {

struct Socket {
    using Type = SOCKET;
    static Type Invalid() { return INVALID_SOCKET; }
    static void Close(Type s) { closesocket(s); }
};

}  // namespace unique_traits

using UniqueSocket = UniqueResource<unique_traits::Socket>;
