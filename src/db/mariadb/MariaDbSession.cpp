#include "db/mariadb/MariaDbSession.h"

#include <algorithm>
#include <cstring>
#include <system_error>
#include <thread>

#include <QtGlobal>

#include "db/LayerErrors.h"
#include "db/mariadb/MariaDbAsync.h"
#include "db/mariadb/MariaDbResultSet.h"
#include "texts/Texts.h"

namespace brivano::db {

namespace {

// Where the provider's own statements find the lost connection: a snapshot
// is given up only for a refusal, never for a connection that went away.
[[noreturn]] void raiseOwn(const Error& error) {
    if (isConnectionLost(error))
        throw connectionLostError(error);
    throw error;
}

}  // namespace

void MariaDbSession::open(const QString& connectionString) {
    options_ = parseMariaDbOptions(connectionString);
    wait_.setLimits(options_.waitLimits, options_.serverName());
    connection_ = connectMariaDb(options_, &wait_);
    threadId_ = mysql_thread_id(connection_.get());
    try {
        for (const char* setting : dialectOf(DatabaseKind::MariaDB).sessionSettings)
            run(setting);
        snapshot_.setUp();
    } catch (const Error&) {
        end();
        throw;
    }
}

void MariaDbSession::close() {
    if (lost_) {
        end();
        return;
    }
    try {
        snapshot_.finish();
    } catch (const Error&) {
        end();
        throw;
    }
    end();
}

void MariaDbSession::end() noexcept {
    // Closing the connection first leaves the statements without it, so
    // closing them reads none of the rows that may still be streaming.
    snapshot_.abandon();
    connection_.reset();
    lost_.reset();
    statements_.clear();
    stream_ = nullptr;
    streamReader_ = nullptr;
    inTableRead_ = false;
    counted_.reset();
}

std::unique_ptr<ResultSet> MariaDbSession::execute(const std::shared_ptr<MariaDbSession>& self,
                                                   const QString& commandText) {
    checkUsable();
    if (inTableRead_ && counted_ == commandText) {
        // The second reading of a table: its rows, in the same snapshot.
        counted_.reset();
        return executeMariaDb(self, commandText);
    }
    std::unique_ptr<ResultSet> result = prepareCountedMariaDb(self, commandText);
    if (inTableRead_)
        counted_ = commandText;
    return result;
}

void MariaDbSession::beginTableRead() {
    checkUsable();
    snapshot_.beginTable();
    inTableRead_ = true;
    counted_.reset();
}

void MariaDbSession::endTableRead(bool completed) {
    inTableRead_ = false;
    counted_.reset();
    checkUsable();
    // Rows left streaming are dropped before the snapshot is looked at.
    if (!completed)
        settle();
    snapshot_.endTable(completed);
}

void MariaDbSession::cancel() noexcept {
    // The options and the thread are fixed once the session is open, and
    // the connection object shares the session only then. The request goes
    // out from a thread of its own, which nobody waits for: the session's
    // own wait ends the run, and a server gone silent must not hold up the
    // caller (a signal's watcher) for the request's limits too.
    try {
        std::thread([options = options_, threadId = threadId_] {
            try {
                killQuery(options, threadId);
            } catch (const Error& error) {
                // The statement then runs on and ends as it will; there is
                // nobody to throw to from here, so the reason goes to the log.
                qWarning("%s", qUtf8Printable(texts::cannotStopStatement(error.description())));
            } catch (const std::exception& error) {
                qWarning("%s", qUtf8Printable(texts::cannotStopStatement(
                                   QString::fromLocal8Bit(error.what()))));
            }
        }).detach();
    } catch (const std::system_error&) {
        // No thread to be had: the session's own wait still ends the run.
    }
}

void MariaDbSession::giveUp(const Error& error) noexcept {
    // A wait that ran out or was stopped leaves the connection in the middle
    // of an answer: it is closed at once (its statements with it, without a
    // word to the server), and every later use fails as lost.
    if (!isStopped(error) && !isTimedOut(error))
        return;
    if (!lost_)
        lost_ = error;
    // The server need not go on with what nobody waits for any more.
    if (connection_ && threadId_ != 0)
        cancel();
    connection_.reset();
    stream_ = nullptr;
    streamReader_ = nullptr;
}

int MariaDbSession::execute(MYSQL_STMT* statement) {
    return guarded([&] {
        int failed = 0;
        const MariaDbAsync async(connection_.get(), wait_, NetworkWait::Phase::Read);
        async.finish(mysql_stmt_execute_start(&failed, statement), [&](int status) {
            return mysql_stmt_execute_cont(&failed, statement, status);
        });
        return failed;
    });
}

int MariaDbSession::fetch(MYSQL_STMT* statement) {
    return guarded([&] {
        int code = 0;
        const MariaDbAsync async(connection_.get(), wait_, NetworkWait::Phase::Read);
        async.finish(mysql_stmt_fetch_start(&code, statement),
                     [&](int status) { return mysql_stmt_fetch_cont(&code, statement, status); });
        return code;
    });
}

bool MariaDbSession::freeResult(MYSQL_STMT* statement) {
    return guarded([&] {
        my_bool failed = 0;
        const MariaDbAsync async(connection_.get(), wait_, NetworkWait::Phase::Read);
        async.finish(mysql_stmt_free_result_start(&failed, statement), [&](int status) {
            return mysql_stmt_free_result_cont(&failed, statement, status);
        });
        return failed == 0;
    });
}

void MariaDbSession::query(const char* statement, MysqlResultHandle& result) {
    guarded([&] {
        MYSQL* connection = connection_.get();
        int failed = 0;
        const MariaDbAsync async(connection, wait_, NetworkWait::Phase::Read);
        async.finish(
            mysql_real_query_start(&failed, connection, statement, std::strlen(statement)),
            [&](int status) { return mysql_real_query_cont(&failed, connection, status); });
        if (failed != 0)
            raiseOwn(failure());
        MYSQL_RES* stored = nullptr;
        async.finish(mysql_store_result_start(&stored, connection), [&](int status) {
            return mysql_store_result_cont(&stored, connection, status);
        });
        result.reset(stored);
        return 0;
    });
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
    if (!connection_ && lost_)
        return *lost_;
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
    MYSQL_STMT* raw = statement.get();
    const int failed = guarded([&] {
        int code = 0;
        const MariaDbAsync async(connection_.get(), wait_, NetworkWait::Phase::Read);
        async.finish(mysql_stmt_prepare_start(&code, raw, utf8.constData(), utf8.size()),
                     [&](int status) { return mysql_stmt_prepare_cont(&code, raw, status); });
        return code;
    });
    if (failed != 0)
        throw failure(raw);
    statements_.push_back(std::move(statement));
    return statements_.back().get();
}

void MariaDbSession::release(MYSQL_STMT* statement) noexcept {
    if (statement == stream_) {
        stopStream();
        stream_ = nullptr;
        streamReader_ = nullptr;
        // The rest of the rows is read away here, within the limits, rather
        // than by the close below, which would wait for them without any.
        try {
            if (isUsable())
                freeResult(statement);
        } catch (const Error&) {
            // Given up: the connection, and so the statement, are closed.
        }
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
    // A statement that gives rows anyway has them read and dropped.
    MysqlResultHandle result;
    query(statement, result);
    if (!result && mysql_field_count(connection_.get()) != 0)
        raiseOwn(failure());
}

std::optional<QString> MariaDbSession::value(const char* query) {
    checkUsable();
    settle();
    MysqlResultHandle result;
    this->query(query, result);
    if (!result)
        raiseOwn(failure());
    MYSQL_ROW row = mysql_fetch_row(result.get());
    if (row == nullptr || row[0] == nullptr)
        return std::nullopt;
    return QString::fromUtf8(row[0]);
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
    if (!freeResult(stream)) {
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
