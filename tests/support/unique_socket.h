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

// A socket listening on 127.0.0.1 at a free port, which `*port` receives;
// empty when the socket layer (started here for the program) or the listen
// failed.
inline UniqueSocket ListenOnLoopback(int backlog, unsigned short* port)
{
    WSADATA data;
    if (WSAStartup(MAKEWORD(2, 2), &data) != 0)
        return UniqueSocket();
    UniqueSocket listener(socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int length = sizeof address;
    if (!listener || bind(listener.get(), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(listener.get(), backlog) != 0 ||
        getsockname(listener.get(), reinterpret_cast<sockaddr*>(&address), &length) != 0)
        return UniqueSocket();
    *port = ntohs(address.sin_port);
    return listener;
}
