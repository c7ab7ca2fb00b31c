#pragma once

#include <memory>
#include <mutex>

namespace brivano::db {

// The session a connection holds. The connection's own thread opens,
// uses and closes it; cancel() comes from another thread (the window's
// stop, a signal) and takes its copy under the same lock as every
// replacement, so it never reads the pointer half changed.
template <typename Session>
class SessionHolder {
  public:
    // On the connection's own thread.
    const std::shared_ptr<Session>& shared() const { return session_; }
    Session* operator->() const { return session_.get(); }
    Session& operator*() const { return *session_; }
    explicit operator bool() const { return session_ != nullptr; }

    void reset(std::shared_ptr<Session> session = nullptr) {
        const std::lock_guard lock(lock_);
        session_ = std::move(session);
    }
    // From any thread: the session as it is, kept alive while in use.
    std::shared_ptr<Session> current() const {
        const std::lock_guard lock(lock_);
        return session_;
    }

  private:
    mutable std::mutex lock_;
    std::shared_ptr<Session> session_;
};

}  // namespace brivano::db
