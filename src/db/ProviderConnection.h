#pragma once

#include <QString>
#include <memory>
#include <mutex>

#include "db/Database.h"
#include "db/LayerErrors.h"

namespace brivano::db {

// The connection of every provider: what they all do alike, around a
// session that does what only its provider can. Each open makes a new
// session, which the result sets share: once closed it stays closed, so
// that a result set that outlives the connection can tell, instead of
// using handles that are gone.
//
// `Session` is one provider's transport over its library:
//   void open(const QString& connectionString)   connects, read-only; throws
//   void close()        ends the snapshot and disconnects; closed afterwards
//                       even when it throws
//   void end() noexcept disconnects without a word (for destructors)
//   bool isOpen() const, bool isLost() const
//   std::unique_ptr<ResultSet> execute(const std::shared_ptr<Session>& self,
//                                      const QString& commandText)
//   void beginTableRead(), void endTableRead(bool completed)
//   void cancel() noexcept   callable from any thread
//   void setStopCheck(StopCheck)   optional: for a session that waits on a
//                       server (see NetworkWait.h)
template <typename Session>
class ProviderConnection final : public Connection {
  public:
    ProviderConnection() = default;
    ~ProviderConnection() override {
        if (const std::shared_ptr<Session> session = take())
            session->end();
    }
    ProviderConnection(const ProviderConnection&) = delete;
    ProviderConnection& operator=(const ProviderConnection&) = delete;

    void open(const QString& connectionString) override {
        if (isOpen())
            throw connectionOpenError();
        auto session = std::make_shared<Session>();
        if constexpr (requires { session->setStopCheck(stopCheck_); })
            session->setStopCheck(stopCheck_);
        session->open(connectionString);
        const std::lock_guard lock(lock_);
        session_ = std::move(session);
    }

    std::unique_ptr<ResultSet> execute(const QString& commandText) override {
        return openSession().execute(session_, commandText);
    }

    void close() override {
        openSession();
        take()->close();
    }

    bool isOpen() const override { return session_ && session_->isOpen(); }

    void beginTableRead() override { openSession().beginTableRead(); }

    void endTableRead(bool completed) override {
        // A connection that is gone has no snapshot to end: the failure
        // that met the loss has told of it already.
        Session& session = openSession();
        if (!session.isLost())
            session.endTableRead(completed);
    }

    void cancel() noexcept override {
        std::shared_ptr<Session> session;
        {
            const std::lock_guard lock(lock_);
            session = session_;
        }
        if (session)
            session->cancel();
    }

    void setStopCheck(std::function<bool()> stopRequested) override {
        stopCheck_ = std::move(stopRequested);
    }

  private:
    Session& openSession() const {
        if (!isOpen())
            throw connectionClosedError();
        return *session_;
    }

    std::shared_ptr<Session> take() {
        const std::lock_guard lock(lock_);
        return std::move(session_);
    }

    // cancel() comes from another thread (the window's stop, a signal): it
    // takes its copy of the session under the same lock as every change.
    std::mutex lock_;
    std::shared_ptr<Session> session_;
    std::function<bool()> stopCheck_;
};

}  // namespace brivano::db
