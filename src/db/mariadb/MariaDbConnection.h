#pragma once

#include <QString>
#include <memory>
#include <mutex>
#include <optional>

#include "db/Database.h"
#include "db/mariadb/MariaDbOptions.h"
#include "db/mariadb/MariaDbSession.h"

namespace brivano::db {

// The built-in provider for "Provider=MariaDB;Server=...;Port=...;
// Database=...;Uid=...;Pwd=..." through the MariaDB client library. The
// session is read-only; the tables of a run are read in one consistent
// snapshot, which readers hold without keeping writers out. Every command is
// a prepared statement, so a text with two statements never runs. Columns
// and values come out as the ODBC path reads them through the MariaDB
// driver, so both give the same export file.
class MariaDbConnection final : public Connection {
  public:
    MariaDbConnection() = default;
    ~MariaDbConnection() override;

    void open(const QString& connectionString) override;
    std::unique_ptr<ResultSet> execute(const QString& commandText) override;
    void close() override;
    bool isOpen() const override { return session_ && session_->isOpen(); }

    // The snapshot starts with the first table and lasts until close().
    void beginTableRead() override;
    void endTableRead(bool completed) override;

    // KILL QUERY over a second, short-lived connection.
    void cancel() noexcept override;

  private:
    // Where cancel() reaches the session: fixed while the connection is open.
    struct CancelTarget {
        MariaDbOptions options;
        unsigned long threadId = 0;
    };

    MariaDbSession& session();

    std::shared_ptr<MariaDbSession> session_;
    bool inSnapshot_ = false;
    bool inTableRead_ = false;
    // The command whose rows were counted in this table read: read again,
    // it streams at once.
    std::optional<QString> counted_;
    std::mutex cancelMutex_;
    std::shared_ptr<const CancelTarget> cancelTarget_;
};

}  // namespace brivano::db
