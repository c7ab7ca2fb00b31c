#pragma once

#include <cstdint>
#include <system_error>

// Waiting on a network connection that a database library opened: the
// providers drive their libraries' non-blocking calls and wait here, in
// short slices, so that a silent server or a stop request is noticed.
namespace brivano::platform {

// A socket as the system numbers it: a descriptor on Linux, a SOCKET on
// Windows.
using SocketHandle = std::intptr_t;

struct SocketInterest {
    bool read = false;
    bool write = false;
};

// What a wait saw: the socket ready (readable, writable, or in error, which
// the library's next call reports), or only the time passing.
struct SocketReadiness {
    bool readable = false;
    bool writable = false;
    bool timedOut() const { return !readable && !writable; }
};

// Waits up to `milliseconds` for `socket` to be ready for what `interest`
// asks. An interrupted wait comes back as a timed-out one; a failure of the
// wait itself sets `error`.
SocketReadiness waitForSocket(SocketHandle socket, SocketInterest interest, int milliseconds,
                              std::error_code& error);

}  // namespace brivano::platform
