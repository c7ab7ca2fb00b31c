#include "platform/SocketWait.h"

#include <poll.h>

#include <cerrno>

namespace brivano::platform {

SocketReadiness waitForSocket(SocketHandle socket, SocketInterest interest, int milliseconds,
                              std::error_code& error) {
    error.clear();
    pollfd entry{};
    entry.fd = static_cast<int>(socket);
    entry.events =
        static_cast<short>((interest.read ? POLLIN : 0) | (interest.write ? POLLOUT : 0));
    const int ready = ::poll(&entry, 1, milliseconds);
    SocketReadiness readiness;
    if (ready < 0) {
        if (errno != EINTR)
            error = std::error_code(errno, std::system_category());
        return readiness;
    }
    if (ready == 0)
        return readiness;
    // An error or a hang-up is left for the library to read and report.
    const bool failed = (entry.revents & (POLLERR | POLLHUP | POLLNVAL)) != 0;
    readiness.readable = (entry.revents & POLLIN) != 0 || (failed && interest.read);
    readiness.writable = (entry.revents & POLLOUT) != 0 || (failed && interest.write);
    return readiness;
}

}  // namespace brivano::platform
