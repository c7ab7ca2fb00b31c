#pragma once

#include <QString>
#include <memory>
#include <vector>

#include "db/Error.h"
#include "db/sqlite/SqliteHandles.h"

namespace brivano::db {

// One open SQLite file. Shared by the connection and its result sets, so
// that a result set can tell when the connection was closed under it.
class SqliteSession {
  public:
    // Opens the file read-only; a missing file is an error, never created.
    void open(const QString& path);
    // Finalizes every statement and closes the file, at once: result sets
    // that outlive the connection hold nothing of it (no read lock that
    // would keep writers out).
    void close() noexcept;

    // Prepares a statement that the session owns until finalize() or the
    // session's close, whichever comes first; null for a text without any
    // statement. A text of more than one statement is refused: only the
    // first would run, under a name that is not its own.
    sqlite3_stmt* prepare(const QString& text);
    void finalize(sqlite3_stmt* statement) noexcept;

    bool isOpen() const { return database_ != nullptr; }
    sqlite3* handle() const { return database_.get(); }

    // A table's two readings in one read transaction: for the whole run in
    // WAL mode, where readers hold no writer off, for one table otherwise.
    void beginTableRead();
    void endTableRead() noexcept;
    // Stops the statement under way; callable from another thread.
    void cancel() noexcept;

    // Throws SQLite's error for `code`.
    [[noreturn]] void raise(int code);

  private:
    // Runs one statement of the session's own; throws SQLite's error.
    void run(const char* statement);

    SqliteDatabaseHandle database_;
    bool walMode_ = false;
    bool inTransaction_ = false;
    std::vector<SqliteStatementHandle> statements_;
};

// Gives a statement back to the session that prepared it.
struct SqliteSessionFinalizer {
    SqliteSession* session = nullptr;
    void operator()(sqlite3_stmt* statement) const { session->finalize(statement); }
};
using SqliteSessionStatement = std::unique_ptr<sqlite3_stmt, SqliteSessionFinalizer>;

}  // namespace brivano::db
