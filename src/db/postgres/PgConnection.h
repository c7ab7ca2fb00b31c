#pragma once

#include <memory>

#include "db/Database.h"
#include "db/SessionHolder.h"
#include "db/postgres/PgDescribe.h"
#include "db/postgres/PgSession.h"

namespace brivano::db {

// The built-in provider for "Provider=PostgreSQL;Host=...;Port=...;
// Database=...;User ID=...;Password=..." (the ODBC driver's Server, Uid
// and Pwd are taken too): the server is reached through libpq, read-only.
// Columns are described and values read as the PostgreSQL ODBC driver
// gives them, so that both give the same export file; rows are streamed,
// so memory stays flat whatever a table's size. The tables of one run are
// read in one snapshot.
class PgConnection final : public Connection {
  public:
    PgConnection() = default;
    ~PgConnection() override;

    void open(const QString& connectionString) override;
    std::unique_ptr<ResultSet> execute(const QString& commandText) override;
    void close() override;
    bool isOpen() const override { return session_ && session_->isOpen(); }

    void beginTableRead() override;
    void endTableRead(bool completed) override;
    void cancel() noexcept override;

  private:
    SessionHolder<PgSession> session_;
    // The command counted in the table read under way: reading it again
    // there streams its rows at once, with the description already made.
    std::shared_ptr<const PgCommand> counted_;
};

}  // namespace brivano::db
