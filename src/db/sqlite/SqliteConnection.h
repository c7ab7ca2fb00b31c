#pragma once

#include <memory>
#include <mutex>

#include "db/Database.h"
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
    // cancel() reads the session from another thread: it is replaced under
    // a lock.
    void replaceSession(std::shared_ptr<SqliteSession> session);

    std::mutex sessionLock_;
    std::shared_ptr<SqliteSession> session_;
};

}  // namespace brivano::db
