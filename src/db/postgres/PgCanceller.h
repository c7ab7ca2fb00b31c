#pragma once

#include <atomic>
#include <memory>
#include <mutex>

#include "db/postgres/PgHandles.h"

namespace brivano::db {

// Asks the server to stop the statement under way, from any thread: the
// cancel object is taken when the connection opens, because libpq's
// PQcancel is safe to call while another thread waits in the connection,
// and a lock keeps the object alive while it is in use.
class PgCanceller {
  public:
    // Takes the cancel object of a connection just opened.
    void arm(PGconn* connection);
    // Lets the object go (the connection is closing); harmless twice.
    void disarm() noexcept;
    // Whether a statement is under way: a request sent while none is would
    // stop the next one instead.
    void setUnderWay(bool underWay) noexcept { underWay_ = underWay; }
    void cancel() noexcept;
    // The same without waiting for the server's answer.
    void cancelInBackground() noexcept;

  private:
    std::mutex mutex_;
    std::shared_ptr<PGcancel> handle_;
    std::atomic<bool> underWay_{false};
};

}  // namespace brivano::db
