#include "db/sqlite/SqliteSession.h"

#include <algorithm>

namespace brivano::db {

namespace {

// How long a query waits for a writer that holds the file locked.
constexpr int kBusyTimeoutMs = 5000;

}  // namespace

void SqliteSession::open(const QString& path) {
    sqlite3* database = nullptr;
    const int code = sqlite3_open_v2(path.toUtf8().constData(), &database,
                                     SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr);
    // The handle exists even when opening failed and must be closed.
    database_.reset(database);
    if (code != SQLITE_OK) {
        const Error error = sqliteError(database, code);
        database_.reset();
        throw error;
    }
    sqlite3_busy_timeout(database, kBusyTimeoutMs);
    // Opening reads nothing yet: read the header now, so that a file that
    // is not a database fails here and not at the first query.
    const int check = sqlite3_exec(database, "PRAGMA schema_version", nullptr, nullptr, nullptr);
    if (check != SQLITE_OK) {
        const Error error = sqliteError(database, check);
        database_.reset();
        throw error;
    }
}

void SqliteSession::raise(int code) {
    throw sqliteError(database_.get(), code);
}

void SqliteSession::close() noexcept {
    statements_.clear();
    database_.reset();
}

sqlite3_stmt* SqliteSession::prepare(const QString& text) {
    sqlite3_stmt* statement = nullptr;
    const int code = sqlite3_prepare16_v3(
        database_.get(), text.utf16(), static_cast<int>(text.size() * 2), 0, &statement, nullptr);
    if (code != SQLITE_OK) {
        raise(code);  // SQLite leaves no statement behind on failure
    }
    if (statement != nullptr) {
        statements_.emplace_back(statement);
    }
    return statement;
}

void SqliteSession::finalize(sqlite3_stmt* statement) noexcept {
    // Not found once the session closed: the statement went with it.
    auto it =
        std::find_if(statements_.begin(), statements_.end(),
                     [statement](const SqliteStatementHandle& h) { return h.get() == statement; });
    if (it != statements_.end()) {
        statements_.erase(it);
    }
}

}  // namespace brivano::db
