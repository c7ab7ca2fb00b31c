#pragma once

#include <mysql.h>

#include "db/NetworkWait.h"

namespace brivano::db {

// The client library's non-blocking calls, each run to its end: a
// ..._start call begins it, and while it says what it waits for, the wait
// happens here (NetworkWait: within the limit, a stop heard) and the
// matching ..._cont call goes on. Only the waits throw.
class MariaDbAsync {
  public:
    MariaDbAsync(MYSQL* connection, const NetworkWait& wait, NetworkWait::Phase phase)
        : connection_(connection), wait_(wait), phase_(phase), deadline_(wait.deadline(phase)) {}

    // `status`: what the ..._start call returned; `resume(status)` calls
    // the ..._cont one with what happened, and returns what it returns.
    template <typename Resume>
    void finish(int status, Resume resume) const {
        while (status != 0)
            status = resume(await(status));
    }

  private:
    // Waits for what `status` asks; returns the MYSQL_WAIT_... bits of what
    // happened.
    int await(int status) const;

    MYSQL* connection_;
    const NetworkWait& wait_;
    NetworkWait::Phase phase_;
    // A connect has one limit in all; a read's starts again with each wait.
    NetworkWait::Clock::time_point deadline_;
};

}  // namespace brivano::db
