#include "db/mariadb/MariaDbResultSet.h"

#include "db/LayerErrors.h"
#include "db/mariadb/MariaDbValueReader.h"
#include "texts/Texts.h"

namespace brivano::db {

MariaDbResultSet::MariaDbResultSet(std::shared_ptr<MariaDbSession> session,
                                   MariaDbStatement statement)
    : session_(std::move(session)), statement_(std::move(statement)) {
    execute();
}

// Giving the statement back ends its stream, if it still has one.
MariaDbResultSet::~MariaDbResultSet() = default;

void MariaDbResultSet::execute() {
    session_->checkUsable();
    session_->settle();
    MYSQL_STMT* statement = statement_.get();
    if (mysql_stmt_execute(statement) != 0)
        fail();
    columns_ = describeMariaDbStatement(*session_, statement);
    buildFields(columns_);
    if (columns_.empty()) {
        finish();  // a statement that gives no rows
        return;
    }
    if (!buffers_.bind(statement, columns_))
        fail();
    session_->beginStream(this, statement);
    fetch();
}

void MariaDbResultSet::fetch() {
    MYSQL_STMT* statement = statement_.get();
    if (!buffers_.prepareFetch(statement))
        fail();
    const int code = mysql_stmt_fetch(statement);
    if (code == MYSQL_NO_DATA) {
        finish();
        return;
    }
    // A fetch that fails mid-stream ends the result with its error: the
    // table must never look shorter than it is.
    if (code == 1 || !buffers_.completeRow(statement, code == MYSQL_DATA_TRUNCATED))
        fail();
}

void MariaDbResultSet::fail() {
    MYSQL_STMT* statement = statement_.get();
    const Error error = session_->failure(statement);
    // Rows the server may still send are read and dropped, so that the
    // connection can go on; if that fails too, the next command says so.
    if (!isConnectionLost(error))
        mysql_stmt_free_result(statement);
    finish();
    throw error;
}

void MariaDbResultSet::finish() {
    session_->endStream(this);
    endReached();
}

void MariaDbResultSet::checkStreaming() const {
    session_->checkUsable();
    if (!session_->streamsFor(this))
        throw Error(kOperationNotAllowed, texts::kResultSetSuperseded.toString());
}

void MariaDbResultSet::advance() {
    checkStreaming();
    fetch();
}

std::int64_t MariaDbResultSet::countRemainingRows() {
    checkStreaming();
    std::int64_t rows = 1;  // the current row
    for (fetch(); !isAtEnd(); fetch())
        ++rows;
    return rows;
}

void MariaDbResultSet::readValue(int position, Value& value) {
    checkStreaming();
    readMariaDbValue(columns_[static_cast<size_t>(position)], buffers_.slot(position), value);
}

}  // namespace brivano::db
