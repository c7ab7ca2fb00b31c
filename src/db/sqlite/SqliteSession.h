#pragma once

#include <QString>
#include <memory>
#include <vector>

#include <sqlite3.h>
#include "db/Database.h"
#include "db/Error.h"
#include "db/dialect/Snapshot.h"

namespace brivano::db {

// sqlite3_close_v2 lets statements that are still prepared finish later:
// the connection waits for them instead of failing.
struct SqliteDatabaseCloser {
    void operator()(sqlite3* database) const { sqlite3_close_v2(database); }
};
using SqliteDatabaseHandle = std::unique_ptr<sqlite3, SqliteDatabaseCloser>;

struct SqliteStatementFinalizer {
    void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};
using SqliteStatementHandle = std::unique_ptr<sqlite3_stmt, SqliteStatementFinalizer>;

// The error that SQLite reports for its last failed call on `database`,
// worded as the SQLite ODBC driver words it, so that reports read alike
// whichever way the file was opened.
Error sqliteError(sqlite3* database, int code);

// The built-in provider for "Provider=SQLite;Data Source=/path/file.db":
// one SQLite file, opened directly through the SQLite library, read-only.
// Columns are typed by their declared names and values read as the ODBC
// path reads them, so both give the same export. Shared by the connection
// and its result sets (see ProviderConnection).
class SqliteSession final : private Snapshot::Path {
  public:
    SqliteSession() = default;
    ~SqliteSession() override { end(); }
    SqliteSession(const SqliteSession&) = delete;
    SqliteSession& operator=(const SqliteSession&) = delete;

    // Opens the file of the string's Data Source read-only; a missing file
    // is an error, never created.
    void open(const QString& connectionString);
    // Ends the snapshot and closes the file.
    void close();
    // Finalizes every statement and closes the file, at once: result sets
    // that outlive the connection hold nothing of it (no read lock that
    // would keep writers out).
    void end() noexcept;
    bool isOpen() const { return database_ != nullptr; }
    bool isLost() const { return false; }

    std::unique_ptr<ResultSet> execute(const std::shared_ptr<SqliteSession>& self,
                                       const QString& commandText);
    void beginTableRead() { snapshot_.beginTable(); }
    void endTableRead(bool completed) { snapshot_.endTable(completed); }
    // Stops the statement under way; callable from another thread.
    void cancel() noexcept;

    // Prepares a statement that the session owns until finalize() or the
    // session's end, whichever comes first; null for a text without any
    // statement. A text of more than one statement is refused: only the
    // first would run, under a name that is not its own.
    sqlite3_stmt* prepare(const QString& text);
    void finalize(sqlite3_stmt* statement) noexcept;
    sqlite3* handle() const { return database_.get(); }
    // Throws SQLite's error for `code`.
    [[noreturn]] void raise(int code);

  private:
    void run(const char* statement) override;
    std::optional<QString> value(const char* query) override;

    SqliteDatabaseHandle database_;
    std::vector<SqliteStatementHandle> statements_;
    Snapshot snapshot_{dialectOf(DatabaseKind::Sqlite), *this};
};

// Gives a statement back to the session that prepared it.
struct SqliteSessionFinalizer {
    SqliteSession* session = nullptr;
    void operator()(sqlite3_stmt* statement) const { session->finalize(statement); }
};
using SqliteSessionStatement = std::unique_ptr<sqlite3_stmt, SqliteSessionFinalizer>;

}  // namespace brivano::db
