#include "db/postgres/PgCanceller.h"

namespace brivano::db {

namespace {

constexpr int kMessageBytes = 256;

}  // namespace

void PgCanceller::arm(PGconn* connection) {
    PgCancelHandle handle(PQgetCancel(connection));
    const std::lock_guard lock(mutex_);
    handle_ = std::move(handle);
}

void PgCanceller::disarm() noexcept {
    underWay_ = false;
    const std::lock_guard lock(mutex_);
    handle_.reset();
}

void PgCanceller::cancel() noexcept {
    if (!underWay_)
        return;
    const std::lock_guard lock(mutex_);
    if (!handle_)
        return;
    // A request that does not get through changes nothing: the statement
    // simply runs to its end, and its own result says how it went.
    char message[kMessageBytes] = {};
    PQcancel(handle_.get(), message, sizeof message);
}

}  // namespace brivano::db
