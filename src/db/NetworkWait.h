#pragma once

#include <QString>
#include <chrono>
#include <functional>

#include "db/Error.h"
#include "platform/SocketWait.h"

namespace brivano::db {

// Asked by a provider, on the thread that waits, a few times a second while
// it waits on its server: true ends the wait, and the operation fails with
// stoppedError(). The window lets its events through here, so that a close
// is heard while a server keeps silent.
using StopCheck = std::function<bool()>;

// How long a built-in provider waits on its server: to connect, and for the
// next bytes of an answer. 0 waits without limit (a stop still ends it).
struct WaitLimits {
    static constexpr int kDefaultConnectSeconds = 30;
    static constexpr int kDefaultReadSeconds = 300;
    int connectSeconds = kDefaultConnectSeconds;
    int readSeconds = kDefaultReadSeconds;
};

// The connection string's keys for the limits, in seconds: Connect Timeout
// (or Timeout, as the ODBC drivers spell it) and Read Timeout. Throws Error
// for a value that is no whole number of seconds.
WaitLimits waitLimitsOf(QStringView connectionString);
// The keys that waitLimitsOf() reads, for a provider's list of known keys.
extern const QStringView kWaitLimitKeys[3];

// Waits on a provider's socket for its library, in slices short enough to
// ask the stop check in between, and up to a limit that it reports in the
// operator's words, naming the server.
class NetworkWait {
  public:
    using Clock = std::chrono::steady_clock;
    enum class Phase { Connect, Read };

    void setStopCheck(StopCheck check) { stopCheck_ = std::move(check); }
    void setLimits(WaitLimits limits, QString server);
    const WaitLimits& limits() const { return limits_; }

    // When the phase's limit runs out if it starts now.
    Clock::time_point deadline(Phase phase) const;
    // Waits until the socket is ready for `interest`, or until `returnAt`
    // (a library's own timer; a timed-out readiness then), whichever comes
    // first; throws when the stop check says stop or `deadline` passes.
    platform::SocketReadiness wait(platform::SocketHandle socket, platform::SocketInterest interest,
                                   Clock::time_point deadline, Phase phase,
                                   Clock::time_point returnAt = Clock::time_point::max()) const;
    // Throws stoppedError() when the stop check says stop.
    void checkStop() const;

  private:
    WaitLimits limits_;
    QString server_;
    StopCheck stopCheck_;
};

// The failure of a wait that a stop request ended, and the test for it.
Error stoppedError();
bool isStopped(const Error& error);
// The failure of a wait that ran out of time.
bool isTimedOut(const Error& error);

}  // namespace brivano::db
