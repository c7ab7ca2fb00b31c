#pragma once

#include <memory>

#include "db/Database.h"
#include "db/SessionHolder.h"
#include "db/sqlite/SqliteSession.h"

namespace brivano::db {

// The built-in provider for "Provider=SQLite;Data Source=/path/file.db":
// the file is opened directly through the SQLite library, read-only.
// Columns are typed by their declared names and values read as the ODBC
// path reads them, so both give the same export.
class SqliteConnection final : public Connection {
  public:
    SqliteConnection() = default;
    ~SqliteConnection() override;

    void open(const QString& connectionString) override;
    std::unique_ptr<ResultSet> execute(const QString& commandText) override;
    void close() override;
    bool isOpen() const override { return session_ && session_->isOpen(); }
    void beginTableRead() override;
    void endTableRead(bool completed) override;
    void cancel() noexcept override;

  private:
    SessionHolder<SqliteSession> session_;
};

}  // namespace brivano::db
