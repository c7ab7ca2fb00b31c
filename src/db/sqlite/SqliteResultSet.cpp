#include "db/sqlite/SqliteResultSet.h"

namespace brivano::db {

SqliteResultSet::SqliteResultSet(std::shared_ptr<SqliteSession> session, const QString& commandText)
    : session_(std::move(session)),
      commandText_(commandText),
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
    values_.resize(columns_.size());
    readInRow_.assign(columns_.size(), 0);
    // A count gives the rows that reading gives only when every column is
    // a stored one: an expression (in a view) may fail on a row that a
    // count never evaluates, and reading would stop there.
    countable_ = true;
    for (int position = 0; position < static_cast<int>(columns_.size()); ++position) {
        countable_ = countable_ && sqlite3_column_table_name(statement, position) != nullptr;
    }
    if (first == SQLITE_DONE || columns_.empty()) {
        finish();  // no rows, or a statement that returns none
    }
}

void SqliteResultSet::advance() {
    const int code = sqlite3_step(statement_.get());
    if (code == SQLITE_ROW) {
        ++row_;
        return;
    }
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
    if (isOnFirstRow() && countable_) {
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
    QString inner = commandText_.trimmed();
    while (inner.endsWith(u';')) {
        inner.chop(1);
    }
    const QString count = QStringLiteral("SELECT count(*) FROM (") + inner + u')';
    sqlite3_stmt* raw = nullptr;
    if (sqlite3_prepare16_v3(session_->handle(), count.utf16(), static_cast<int>(count.size() * 2),
                             0, &raw, nullptr) != SQLITE_OK) {
        sqlite3_finalize(raw);
        return std::nullopt;
    }
    SqliteStatementHandle statement(raw);
    if (sqlite3_step(statement.get()) != SQLITE_ROW) {
        return std::nullopt;
    }
    return sqlite3_column_int64(statement.get(), 0);
}

const Value& SqliteResultSet::valueAt(int position) {
    checkCurrentRow();
    const auto index = static_cast<size_t>(position);
    Value& value = values_[index];
    if (readInRow_[index] != row_) {
        try {
            reader_.read(statement_.get(), position, columns_[index], value);
        } catch (const Error&) {
            value.kind = ValueKind::Null;
            throw;
        }
        readInRow_[index] = row_;
    }
    return value;
}

}  // namespace brivano::db
