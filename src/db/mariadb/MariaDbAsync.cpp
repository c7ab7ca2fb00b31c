#include "db/mariadb/MariaDbAsync.h"

namespace brivano::db {

int MariaDbAsync::await(int status) const {
    using Clock = NetworkWait::Clock;
    const Clock::time_point now = Clock::now();
    const Clock::time_point returnAt =
        (status & MYSQL_WAIT_TIMEOUT) != 0
            ? now + std::chrono::milliseconds(mysql_get_timeout_value_ms(connection_))
            : Clock::time_point::max();
    const Clock::time_point deadline =
        phase_ == NetworkWait::Phase::Connect ? deadline_ : wait_.deadline(phase_);
    const platform::SocketReadiness ready =
        wait_.wait(static_cast<platform::SocketHandle>(mysql_get_socket(connection_)),
                   {.read = (status & (MYSQL_WAIT_READ | MYSQL_WAIT_EXCEPT)) != 0,
                    .write = (status & MYSQL_WAIT_WRITE) != 0},
                   deadline, phase_, returnAt);
    if (ready.timedOut())
        return MYSQL_WAIT_TIMEOUT;
    return (ready.readable ? MYSQL_WAIT_READ : 0) | (ready.writable ? MYSQL_WAIT_WRITE : 0);
}

}  // namespace brivano::db
