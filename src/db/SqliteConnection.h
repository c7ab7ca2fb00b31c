#pragma once

#include <memory>

#include "db/Database.h"
#include "db/SqliteHandles.h"

namespace brivano::db {

// One open SQLite file. Shared by the connection and its result sets, so
// that a result set can tell when the connection was closed under it.
class SqliteSession {
  public:
    explicit SqliteSession(ErrorList& errors) : errors_(&errors) {}

    // Opens the file read-only; a missing file is an error, never created.
    void open(const QString& path);
    void close() noexcept;

    bool isOpen() const { return database_ != nullptr; }
    sqlite3* handle() const { return database_.get(); }
    ErrorList& errors() { return *errors_; }

    // Puts SQLite's error for `code` into the error list and throws it.
    [[noreturn]] void raise(int code);
    [[noreturn]] void raise(const Error& error);

  private:
    ErrorList* errors_;
    SqliteDatabaseHandle database_;
};

// The built-in provider for "Provider=SQLite;Data Source=/path/file.db":
// the file is opened directly through the SQLite library, read-only.
// Columns are typed by their declared names and values read as the ODBC
// path reads them, so both give the same export.
class SqliteConnection final : public Connection {
  public:
    explicit SqliteConnection(ErrorList& errors) : errors_(errors) {}
    ~SqliteConnection() override;

    void open(const QString& connectionString, const QString& user,
              const QString& password) override;
    std::unique_ptr<ResultSet> execute(const QString& commandText) override;
    void close() override;
    bool isOpen() const override { return session_ && session_->isOpen(); }
    ErrorList& errors() override { return errors_; }

  private:
    ErrorList& errors_;
    std::shared_ptr<SqliteSession> session_;
};

}  // namespace brivano::db
