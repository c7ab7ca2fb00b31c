#include "db/mariadb/MariaDbSession.h"

#include <algorithm>
#include <cstring>

#include <QtGlobal>

#include "db/LayerErrors.h"
#include "texts/Texts.h"

namespace brivano::db {

namespace {

// Readers never block writers under InnoDB's snapshots; REPEATABLE READ
// gives every statement of a transaction the same one.
constexpr const char* kReadOnlySession =
    "SET SESSION TRANSACTION ISOLATION LEVEL REPEATABLE READ, READ ONLY";

}  // namespace

void MariaDbSession::open(const MariaDbOptions& options) {
    options_ = options;
    connection_ = connectMariaDb(options);
    threadId_ = mysql_thread_id(connection_.get());
    try {
        run(kReadOnlySession);
    } catch (const Error&) {
        close();
        throw;
    }
}

void MariaDbSession::close() noexcept {
    // Closing the connection first leaves the statements without it, so
    // closing them reads none of the rows that may still be streaming.
    connection_.reset();
    statements_.clear();
    stream_ = nullptr;
    streamReader_ = nullptr;
}

void MariaDbSession::checkUsable() const {
    if (lost_)
        throw connectionLostError(*lost_);
    if (!connection_)
        throw connectionClosedError();
}

Error MariaDbSession::failure(MYSQL_STMT* statement) {
    // A row that fails to arrive while streaming leaves its error on the
    // connection, not on the statement.
    Error error = mysql_stmt_errno(statement) != 0 || !connection_
                      ? mariaDbError(statement)
                      : mariaDbError(connection_.get());
    if (isConnectionLost(error))
        lost_ = error;
    return error;
}

Error MariaDbSession::failure() {
    Error error = mariaDbError(connection_.get());
    if (isConnectionLost(error))
        lost_ = error;
    return error;
}

MYSQL_STMT* MariaDbSession::prepare(const QString& text) {
    checkUsable();
    settle();
    MysqlStatementHandle statement(mysql_stmt_init(connection_.get()));
    if (!statement)
        throw failure();
    const QByteArray utf8 = text.toUtf8();
    if (mysql_stmt_prepare(statement.get(), utf8.constData(), utf8.size()) != 0)
        throw failure(statement.get());
    statements_.push_back(std::move(statement));
    return statements_.back().get();
}

void MariaDbSession::release(MYSQL_STMT* statement) noexcept {
    if (statement == stream_) {
        stopStream();
        stream_ = nullptr;
        streamReader_ = nullptr;
    }
    // Not found once the session closed: the statement went with it.
    auto it =
        std::find_if(statements_.begin(), statements_.end(),
                     [statement](const MysqlStatementHandle& h) { return h.get() == statement; });
    if (it != statements_.end())
        statements_.erase(it);
}

void MariaDbSession::run(const char* statement) {
    checkUsable();
    settle();
    MYSQL* connection = connection_.get();
    if (mysql_real_query(connection, statement, std::strlen(statement)) != 0)
        throw failure();
    // A statement that gives rows anyway has them read and dropped.
    MysqlResultHandle result(mysql_store_result(connection));
    if (!result && mysql_field_count(connection) != 0)
        throw failure();
}

long long MariaDbSession::number(const char* query) {
    checkUsable();
    settle();
    MYSQL* connection = connection_.get();
    if (mysql_real_query(connection, query, std::strlen(query)) != 0)
        throw failure();
    MysqlResultHandle result(mysql_store_result(connection));
    if (!result)
        throw failure();
    MYSQL_ROW row = mysql_fetch_row(result.get());
    if (row == nullptr || row[0] == nullptr)
        throw failure();
    return std::strtoll(row[0], nullptr, 10);
}

void MariaDbSession::beginStream(const void* reader, MYSQL_STMT* statement) noexcept {
    streamReader_ = reader;
    stream_ = statement;
}

void MariaDbSession::endStream(const void* reader) {
    if (streamReader_ == reader) {
        stream_ = nullptr;
        streamReader_ = nullptr;
    }
}

void MariaDbSession::settle() {
    MYSQL_STMT* stream = stream_;
    if (stream == nullptr)
        return;
    stopStream();
    stream_ = nullptr;
    streamReader_ = nullptr;
    // Reads the rows the server still sent and drops them, up to the end
    // of the statement: the interruption asked for above is no failure.
    if (mysql_stmt_free_result(stream) != 0) {
        const Error error = failure(stream);
        if (!isInterrupted(error))
            throw error;
    }
}

void MariaDbSession::stopStream() noexcept {
    if (lost_ || !connection_)
        return;
    try {
        killQuery(options_, threadId_);
    } catch (const Error& error) {
        // The rows are then read to their end instead: slower, no worse.
        qWarning("%s", qUtf8Printable(texts::cannotStopStatement(error.description())));
    } catch (const std::exception& error) {
        qWarning("%s",
                 qUtf8Printable(texts::cannotStopStatement(QString::fromLocal8Bit(error.what()))));
    }
}

std::vector<MariaDbColumn> describeMariaDbStatement(MariaDbSession& session,
                                                    MYSQL_STMT* statement) {
    MysqlResultHandle metadata(mysql_stmt_result_metadata(statement));
    if (!metadata && mysql_stmt_errno(statement) != 0)
        throw session.failure(statement);
    return describeMariaDbColumns(metadata.get());
}

}  // namespace brivano::db
