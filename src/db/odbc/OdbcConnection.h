#pragma once

#include <memory>
#include <mutex>

#include "db/Database.h"
#include "db/odbc/OdbcSession.h"

namespace brivano::db {

// A connection through the ODBC driver manager. The connection string goes
// to the driver unchanged; statements run forward-only and read-only (the
// ODBC defaults), and their text reaches the driver intact whatever the
// process's locale.
class OdbcConnection final : public Connection {
  public:
    OdbcConnection() = default;
    ~OdbcConnection() override;

    void open(const QString& connectionString) override;
    std::unique_ptr<ResultSet> execute(const QString& commandText) override;
    void close() override;
    bool isOpen() const override { return session_ && session_->isOpen(); }
    void beginTableRead() override;
    void endTableRead(bool completed) override;
    void cancel() noexcept override;

  private:
    // cancel() reads the session from another thread: it is replaced under
    // a lock.
    void replaceSession(std::shared_ptr<OdbcSession> session);

    std::mutex sessionLock_;
    std::shared_ptr<OdbcSession> session_;
};

}  // namespace brivano::db
