#include <winsock2.h>

#include "DataAccessFixture.h"

namespace brivano::test {

int closedPort() {
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
    const SOCKET socket = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int length = sizeof(address);
    ::bind(socket, reinterpret_cast<sockaddr*>(&address), sizeof(address));
    ::getsockname(socket, reinterpret_cast<sockaddr*>(&address), &length);
    ::closesocket(socket);
    WSACleanup();
    return ntohs(address.sin_port);
}

}  // namespace brivano::test
