#include "db/postgres/PgCanceller.h"

#include <system_error>
#include <thread>

namespace brivano::db {

namespace {

constexpr int kMessageBytes = 256;

}  // namespace

void PgCanceller::arm(PGconn* connection) {
    std::shared_ptr<PGcancel> handle(PQgetCancel(connection), PgCancelFreer());
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

void PgCanceller::cancelInBackground() noexcept {
    if (!underWay_)
        return;
    std::shared_ptr<PGcancel> handle;
    {
        const std::lock_guard lock(mutex_);
        handle = handle_;
    }
    if (!handle)
        return;
    // libpq waits for the server's answer without a limit: a thread of its
    // own, which owns its copy of the cancel object, waits for it, and
    // nobody waits for the thread.
    try {
        std::thread([handle = std::move(handle)] {
            char message[kMessageBytes] = {};
            PQcancel(handle.get(), message, sizeof message);
        }).detach();
    } catch (const std::system_error&) {
        // No thread to be had: the session's own wait still ends the run.
    }
}

}  // namespace brivano::db
