#pragma once

#include <memory>

#include "db/Database.h"
#include "db/SessionHolder.h"
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
    SessionHolder<OdbcSession> session_;
};

}  // namespace brivano::db
