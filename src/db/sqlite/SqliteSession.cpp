#include "db/sqlite/SqliteSession.h"

#include <algorithm>

#include "db/ConnectionString.h"
#include "db/MessageText.h"
#include "db/sqlite/SqliteResultSet.h"
#include "texts/Texts.h"

namespace brivano::db {

namespace {

// How long a query waits for a writer that holds the file locked, unless
// the string says otherwise (in milliseconds, as the ODBC driver's Timeout).
constexpr int kBusyTimeoutMs = 5000;
// SQLSTATE HY000: general error, as the ODBC driver reports SQLite's errors
// and a connection string it cannot use.
constexpr QStringView kGeneralError = u"HY000";

constexpr QStringView kDataSource[] = {u"Data Source", u"Database"};
constexpr QStringView kTimeout = u"Timeout";
// Besides those, the ODBC driver's keys for what the provider always does:
// it never creates a file and always steps through a result.
constexpr QStringView kKnownKeys[] = {kDataSource[0], kDataSource[1], kTimeout, u"NoCreat",
                                      u"StepAPI"};

int busyTimeout(const QString& connectionString) {
    const std::optional<QString> given = connectionAttribute(connectionString, {kTimeout});
    if (!given)
        return kBusyTimeoutMs;
    bool ok = false;
    const int milliseconds = given->trimmed().toInt(&ok);
    if (!ok || milliseconds < 0)
        throw Error(0, texts::invalidConnectionValue(kTimeout.toString(), *given),
                    kGeneralError.toString());
    return milliseconds;
}

}  // namespace

void SqliteSession::open(const QString& connectionString) {
    refuseUnknownKeys(connectionString, kKnownKeys, u"SQLite");
    const std::optional<QString> path =
        connectionAttribute(connectionString, {kDataSource[0], kDataSource[1]});
    if (!path)
        throw Error(0, texts::kNoDataSource.toString(), kGeneralError.toString());
    const int timeout = busyTimeout(connectionString);
    sqlite3* database = nullptr;
    const int code = sqlite3_open_v2(path->toUtf8().constData(), &database,
                                     SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr);
    // The handle exists even when opening failed and must be closed.
    database_.reset(database);
    try {
        if (code != SQLITE_OK)
            raise(code);
        sqlite3_busy_timeout(database, timeout);
        // Opening reads nothing yet: read the header now, so that a file
        // that is not a database fails here and not at the first query.
        run("PRAGMA schema_version");
        for (const char* setting : dialectOf(DatabaseKind::Sqlite).sessionSettings)
            run(setting);
        snapshot_.setUp();
    } catch (const Error&) {
        end();
        throw;
    }
}

void SqliteSession::close() {
    try {
        snapshot_.finish();
    } catch (const Error&) {
        end();
        throw;
    }
    end();
}

void SqliteSession::end() noexcept {
    statements_.clear();
    snapshot_.abandon();
    database_.reset();  // ends any read transaction
}

std::unique_ptr<ResultSet> SqliteSession::execute(const std::shared_ptr<SqliteSession>& self,
                                                  const QString& commandText) {
    return std::make_unique<SqliteResultSet>(self, commandText);
}

void SqliteSession::run(const char* statement) {
    const int code = sqlite3_exec(database_.get(), statement, nullptr, nullptr, nullptr);
    if (code != SQLITE_OK)
        raise(code);
}

std::optional<QString> SqliteSession::value(const char* query) {
    sqlite3_stmt* raw = nullptr;
    const int prepared = sqlite3_prepare_v2(database_.get(), query, -1, &raw, nullptr);
    const SqliteStatementHandle statement(raw);
    if (prepared != SQLITE_OK)
        raise(prepared);
    const int stepped = sqlite3_step(raw);
    if (stepped == SQLITE_DONE)
        return std::nullopt;
    if (stepped != SQLITE_ROW)
        raise(stepped);
    const auto* text = static_cast<const char16_t*>(sqlite3_column_text16(raw, 0));
    return text == nullptr ? std::nullopt : std::optional(QString::fromUtf16(text));
}

void SqliteSession::cancel() noexcept {
    if (sqlite3* database = database_.get())
        sqlite3_interrupt(database);
}

void SqliteSession::raise(int code) {
    throw sqliteError(database_.get(), code);
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

Error sqliteError(sqlite3* database, int code) {
    const char* message = database != nullptr ? sqlite3_errmsg(database) : sqlite3_errstr(code);
    const int number = database != nullptr ? sqlite3_extended_errcode(database) : code;
    const QString text = QStringLiteral("[SQLite]%1 (%2)")
                             .arg(singleLineMessage(QString::fromUtf8(message)))
                             .arg(code & 0xFF);
    return Error(number, text, kGeneralError.toString());
}

}  // namespace brivano::db
