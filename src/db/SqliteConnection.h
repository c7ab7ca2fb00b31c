#pragma once

#include <memory>
#include <vector>

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
    // Finalizes every statement and closes the file, at once: result sets
    // that outlive the connection hold nothing of it (no read lock that
    // would keep writers out).
    void close() noexcept;

    // Prepares a statement that the session owns until finalize() or the
    // session's close, whichever comes first; null for a text without any
    // statement. Failures are in the error list.
    sqlite3_stmt* prepare(const QString& text);
    void finalize(sqlite3_stmt* statement) noexcept;

    bool isOpen() const { return database_ != nullptr; }
    sqlite3* handle() const { return database_.get(); }
    ErrorList& errors() { return *errors_; }

    // Puts SQLite's error for `code` into the error list and throws it.
    [[noreturn]] void raise(int code);
    [[noreturn]] void raise(const Error& error);

  private:
    ErrorList* errors_;
    SqliteDatabaseHandle database_;
    std::vector<SqliteStatementHandle> statements_;
};

// Gives a statement back to the session that prepared it.
struct SqliteSessionFinalizer {
    SqliteSession* session = nullptr;
    void operator()(sqlite3_stmt* statement) const { session->finalize(statement); }
};
using SqliteSessionStatement = std::unique_ptr<sqlite3_stmt, SqliteSessionFinalizer>;

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
