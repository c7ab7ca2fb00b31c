#pragma once

#include <memory>

#include "db/Database.h"
#include "db/OdbcSession.h"

namespace brivano::db {

// A connection through the ODBC driver manager. The connection string goes
// to the driver unchanged; statements run forward-only and read-only (the
// ODBC defaults), and their text reaches the driver intact whatever the
// process's locale.
class OdbcConnection final : public Connection {
  public:
    // Keeps its errors in `errors`, which must outlive it (the provider
    // switch shares one list between its providers).
    explicit OdbcConnection(ErrorList& errors) : errors_(errors) {}
    ~OdbcConnection() override;

    // User and password, when given, are added as UID and PWD.
    void open(const QString& connectionString, const QString& user,
              const QString& password) override;
    std::unique_ptr<ResultSet> execute(const QString& commandText) override;
    void close() override;
    bool isOpen() const override { return session_ && session_->isOpen(); }
    ErrorList& errors() override { return errors_; }

  private:
    ErrorList& errors_;
    std::shared_ptr<OdbcSession> session_;
};

}  // namespace brivano::db
