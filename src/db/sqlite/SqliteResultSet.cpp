#include "db/sqlite/SqliteResultSet.h"

#include "db/dialect/Dialect.h"

namespace brivano::db {

SqliteResultSet::SqliteResultSet(std::shared_ptr<SqliteSession> session, const QString& commandText)
    : session_(std::move(session)),
      statement_(session_->prepare(commandText), SqliteSessionFinalizer{session_.get()}) {
    sqlite3_stmt* statement = statement_.get();
    if (statement == nullptr) {
        endReached();  // nothing but blanks or comments
        return;
    }
    // The columns are described on the first row (expressions take the type
    // of their first value), before an empty result lets the statement go.
    const int first = sqlite3_step(statement);
    if (first != SQLITE_ROW && first != SQLITE_DONE) {
        session_->raise(first);
    }
    columns_ = describeSqliteColumns(session_->handle(), statement, first == SQLITE_ROW);
    buildFields(columns_);
    std::vector<CountedColumn> counted;
    for (int position = 0; position < static_cast<int>(columns_.size()); ++position) {
        counted.push_back({columns_[static_cast<size_t>(position)].name,
                           sqlite3_column_table_name(statement, position) == nullptr});
    }
    countStatement_ = dialectOf(DatabaseKind::Sqlite).countStatements(commandText, counted).all;
    if (first == SQLITE_DONE || columns_.empty()) {
        finish();  // no rows, or a statement that returns none
    }
}

void SqliteResultSet::advance() {
    const int code = sqlite3_step(statement_.get());
    if (code == SQLITE_ROW)
        return;
    if (code == SQLITE_DONE) {
        finish();
        return;
    }
    // A statement that failed to step has no current row to offer: the
    // result ends here (the message is taken before the statement goes).
    const Error error = sqliteError(session_->handle(), code);
    finish();
    throw error;
}

void SqliteResultSet::finish() {
    endReached();
    statement_.reset();
}

std::int64_t SqliteResultSet::countRemainingRows() {
    if (isOnFirstRow() && !countStatement_.isEmpty()) {
        if (const std::optional<std::int64_t> count = countQuery()) {
            finish();
            return *count;
        }
    }
    std::int64_t rows = 1;  // the current row
    for (advance(); !isAtEnd(); advance())
        ++rows;
    return rows;
}

std::optional<std::int64_t> SqliteResultSet::countQuery() const {
    // Counting in the same read transaction as the open statement sees the
    // same rows, and SQLite counts a table without decoding its rows. Any
    // failure just means the rows are stepped through instead.
    sqlite3_stmt* raw = nullptr;
    if (sqlite3_prepare16_v3(session_->handle(), countStatement_.utf16(),
                             static_cast<int>(countStatement_.size() * 2), 0, &raw,
                             nullptr) != SQLITE_OK) {
        sqlite3_finalize(raw);
        return std::nullopt;
    }
    SqliteStatementHandle statement(raw);
    if (sqlite3_step(statement.get()) != SQLITE_ROW) {
        return std::nullopt;
    }
    return sqlite3_column_int64(statement.get(), 0);
}

void SqliteResultSet::readValue(int position, Value& value) {
    reader_.read(statement_.get(), position, columns_[static_cast<size_t>(position)], value);
}

}  // namespace brivano::db
