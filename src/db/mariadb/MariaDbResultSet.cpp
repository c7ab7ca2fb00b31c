#include "db/mariadb/MariaDbResultSet.h"

#include "db/CountedResultSet.h"
#include "db/LayerErrors.h"
#include "db/dialect/Dialect.h"
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
    if (session_->execute(statement) != 0)
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
    int code = 0;
    try {
        code = session_->fetch(statement);
    } catch (const Error&) {
        finish();  // the session gave the connection up: no row to stand on
        throw;
    }
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
    if (!isConnectionLost(error) && session_->isUsable()) {
        try {
            session_->freeResult(statement);
        } catch (const Error&) {
            // Given up meanwhile: the first failure is the one to report.
        }
    }
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

namespace {

// Errors that a count must raise rather than leave to reading the rows:
// the connection is gone, or the operator stopped the statement.
bool mustRaise(const Error& error) {
    return isConnectionLost(error) || isInterrupted(error) || error.number() == kConnectionLost ||
           isStopped(error) || isTimedOut(error);
}

std::optional<std::int64_t> countRows(MariaDbSession& session, const QString& query) {
    try {
        MariaDbStatement statement(session.prepare(query), {&session});
        MYSQL_STMT* raw = statement.get();
        long long counted = 0;
        my_bool isNull = 0;
        MYSQL_BIND bind{};
        bind.buffer_type = MYSQL_TYPE_LONGLONG;
        bind.buffer = &counted;
        bind.is_null = &isNull;
        if (session.execute(raw) != 0 || mysql_stmt_bind_result(raw, &bind) != 0 ||
            session.fetch(raw) != 0 || !session.freeResult(raw))
            throw session.failure(raw);
        return isNull ? std::nullopt : std::optional<std::int64_t>(counted);
    } catch (const Error& error) {
        if (mustRaise(error))
            throw;
        // A count that fails says nothing: the command itself, read row by
        // row, answers instead, in the server's own words.
        return std::nullopt;
    }
}

}  // namespace

std::unique_ptr<ResultSet> prepareCountedMariaDb(const std::shared_ptr<MariaDbSession>& session,
                                                 const QString& commandText) {
    MariaDbStatement statement(session->prepare(commandText), {session.get()});
    const std::vector<MariaDbColumn> columns = describeMariaDbStatement(*session, statement.get());
    if (columns.empty())
        return std::make_unique<MariaDbResultSet>(session, std::move(statement));
    std::vector<CountedColumn> counted;
    for (const MariaDbColumn& column : columns)
        counted.push_back({column.name, column.computed});
    const CountStatements counts =
        dialectOf(DatabaseKind::MariaDB).countStatements(commandText, counted);
    auto prepared = std::make_shared<MariaDbStatement>(std::move(statement));
    CountedResultSet::Query query{
        [session] { return session->isOpen(); },
        [session](const QString& count) { return countRows(*session, count); },
        [session, prepared] {
            return std::make_unique<MariaDbResultSet>(session, std::move(*prepared));
        },
        counts.all,
        counts.first,
    };
    return std::make_unique<CountedResultSet>(std::move(query), static_cast<int>(columns.size()));
}

std::unique_ptr<ResultSet> executeMariaDb(const std::shared_ptr<MariaDbSession>& session,
                                          const QString& commandText) {
    MariaDbStatement statement(session->prepare(commandText), {session.get()});
    return std::make_unique<MariaDbResultSet>(session, std::move(statement));
}

}  // namespace brivano::db
