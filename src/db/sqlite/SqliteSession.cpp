#include "db/sqlite/SqliteSession.h"

#include <algorithm>

#include "texts/Texts.h"

namespace brivano::db {

namespace {

// How long a query waits for a writer that holds the file locked.
constexpr int kBusyTimeoutMs = 5000;

bool journalModeIsWal(sqlite3* database) {
    sqlite3_stmt* raw = nullptr;
    if (sqlite3_prepare_v2(database, "PRAGMA journal_mode", -1, &raw, nullptr) != SQLITE_OK)
        return false;
    const SqliteStatementHandle statement(raw);
    if (sqlite3_step(raw) != SQLITE_ROW)
        return false;
    const auto* mode = reinterpret_cast<const char*>(sqlite3_column_text(raw, 0));
    return mode != nullptr && QByteArrayView(mode).compare("wal", Qt::CaseInsensitive) == 0;
}

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
    // Read-only twice over: a statement cannot write even in a file that
    // the system would let us write.
    sqlite3_exec(database, "PRAGMA query_only = 1", nullptr, nullptr, nullptr);
    walMode_ = journalModeIsWal(database);
}

void SqliteSession::run(const char* statement) {
    const int code = sqlite3_exec(database_.get(), statement, nullptr, nullptr, nullptr);
    if (code != SQLITE_OK)
        raise(code);
}

void SqliteSession::beginTableRead() {
    if (!inTransaction_) {
        run("BEGIN");
        inTransaction_ = true;
    }
}

void SqliteSession::endTableRead() noexcept {
    if (inTransaction_ && !walMode_) {
        sqlite3_exec(database_.get(), "COMMIT", nullptr, nullptr, nullptr);
        inTransaction_ = false;
    }
}

void SqliteSession::cancel() noexcept {
    if (sqlite3* database = database_.get())
        sqlite3_interrupt(database);
}

void SqliteSession::raise(int code) {
    throw sqliteError(database_.get(), code);
}

void SqliteSession::close() noexcept {
    statements_.clear();
    inTransaction_ = false;
    database_.reset();  // ends any read transaction
}

sqlite3_stmt* SqliteSession::prepare(const QString& text) {
    sqlite3_stmt* statement = nullptr;
    const void* tail = nullptr;
    const int code = sqlite3_prepare16_v3(database_.get(), text.utf16(),
                                          static_cast<int>(text.size() * 2), 0, &statement, &tail);
    if (code != SQLITE_OK) {
        raise(code);  // SQLite leaves no statement behind on failure
    }
    if (statement == nullptr) {
        return nullptr;
    }
    statements_.emplace_back(statement);
    // What follows the first statement must be nothing but blanks and
    // comments, which prepare to no statement at all.
    const auto* rest = static_cast<const char16_t*>(tail);
    const auto* end = reinterpret_cast<const char16_t*>(text.utf16()) + text.size();
    sqlite3_stmt* next = nullptr;
    const int nextCode = sqlite3_prepare16_v3(
        database_.get(), rest, static_cast<int>((end - rest) * 2), 0, &next, nullptr);
    SqliteStatementHandle second(next);
    if (nextCode != SQLITE_OK || next != nullptr) {
        finalize(statement);
        throw Error(SQLITE_MISUSE, texts::kSeveralStatements.toString(), QStringLiteral("42000"));
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
