// WSAPoll came with Windows Vista.
#if !defined(_WIN32_WINNT) || _WIN32_WINNT < 0x0600
#undef _WIN32_WINNT
#define _WIN32_WINNT 0x0600
#endif
#include <winsock2.h>

#include "platform/SocketWait.h"

namespace brivano::platform {

SocketReadiness waitForSocket(SocketHandle socket, SocketInterest interest, int milliseconds,
                              std::error_code& error) {
    error.clear();
    WSAPOLLFD entry{};
    entry.fd = static_cast<SOCKET>(socket);
    entry.events =
        static_cast<SHORT>((interest.read ? POLLRDNORM : 0) | (interest.write ? POLLWRNORM : 0));
    const int ready = ::WSAPoll(&entry, 1, milliseconds);
    SocketReadiness readiness;
    if (ready == SOCKET_ERROR) {
        error = std::error_code(::WSAGetLastError(), std::system_category());
        return readiness;
    }
    if (ready == 0)
        return readiness;
    // An error or a hang-up is left for the library to read and report.
    const bool failed = (entry.revents & (POLLERR | POLLHUP | POLLNVAL)) != 0;
    readiness.readable = (entry.revents & POLLRDNORM) != 0 || (failed && interest.read);
    readiness.writable = (entry.revents & POLLWRNORM) != 0 || (failed && interest.write);
    return readiness;
}

}  // namespace brivano::platform
