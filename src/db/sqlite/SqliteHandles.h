#pragma once

#include <sqlite3.h>

#include <memory>

#include "db/Error.h"

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

}  // namespace brivano::db
