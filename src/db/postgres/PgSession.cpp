#include "db/postgres/PgSession.h"

#include "db/CountedResultSet.h"
#include "db/LayerErrors.h"
#include "db/postgres/PgConnectParams.h"
#include "db/postgres/PgDescribe.h"
#include "db/postgres/PgErrors.h"
#include "db/postgres/PgResultSet.h"
#include "db/postgres/PgWire.h"

namespace brivano::db {

void PgSession::open(const QString& connectionString) {
    const PgConnectParams params(connectionString);
    boolsAsChar_ = params.boolsAsChar();
    wait_.setLimits(params.waitLimits(), params.serverName());
    PgConnectionHandle connection = pgConnect(params, wait_);
    // libpq prints the server's notices on standard error, among the run's
    // own lines; they are no failures (every failure comes back as an error
    // result and is reported), and the ODBC driver does not show them.
    PQsetNoticeProcessor(
        connection.get(), [](void*, const char*) {}, nullptr);
    connection_ = std::move(connection);
    canceller_.arm(connection_.get());
    try {
        for (const char* setting : dialectOf(DatabaseKind::PostgreSQL).sessionSettings)
            run(setting);
    } catch (const Error&) {
        end();
        throw;
    }
}

void PgSession::close() {
    if (!isOpen())
        throw connectionClosedError();
    if (lost_) {
        // The call that met the loss reported it; there is nothing to end.
        end();
        return;
    }
    settle();
    try {
        snapshot_.finish();
    } catch (const Error&) {
        end();
        throw;
    }
    end();
}

void PgSession::end() noexcept {
    if (stream_ != nullptr) {
        PgStream* stream = stream_;
        stream_ = nullptr;
        stream->letGo(false);
    }
    canceller_.disarm();
    snapshot_.abandon();
    connection_.reset();
    lost_.reset();
    inTableRead_ = false;
    counted_.reset();
}

void PgSession::settle() noexcept {
    if (stream_ != nullptr) {
        // The stream gives the connection back through endStream().
        stream_->letGo(true);
        stream_ = nullptr;
        canceller_.setUnderWay(false);
    }
}

PGconn* PgSession::use() {
    if (!isOpen())
        throw connectionClosedError();
    if (lost_)
        throw connectionLostError(*lost_);
    settle();
    if (lost_)  // lost while the stream was read away
        throw connectionLostError(*lost_);
    return connection_.get();
}

PgResult PgSession::run(const QByteArray& statement, ExecStatusType expected,
                        const std::vector<const char*>& parameters) {
    PGconn* connection = use();
    canceller_.setUnderWay(true);
    PgResult result;
    try {
        result = await(PQsendQueryParams(
            connection, statement.constData(), static_cast<int>(parameters.size()), nullptr,
            parameters.empty() ? nullptr : parameters.data(), nullptr, nullptr, 0));
    } catch (const Error&) {
        canceller_.setUnderWay(false);
        throw;
    }
    canceller_.setUnderWay(false);
    return check(std::move(result), expected);
}

PgResult PgSession::await(int sent) {
    if (sent == 0)
        fail(nullptr);
    PGconn* connection = connection_.get();
    try {
        if (!pgFlush(connection, wait_))
            fail(nullptr);
        return pgCollect(connection, wait_);
    } catch (const Error& error) {
        abandonIfGivenUp(error);
        throw;
    }
}

PgResult PgSession::awaitRest() {
    try {
        return pgCollect(connection_.get(), wait_);
    } catch (const Error& error) {
        abandonIfGivenUp(error);
        throw;
    }
}

int PgSession::copyData(char** buffer) {
    try {
        return pgCopyData(connection_.get(), buffer, wait_);
    } catch (const Error& error) {
        abandonIfGivenUp(error);
        throw;
    }
}

void PgSession::abandonIfGivenUp(const Error& error) noexcept {
    // A wait that ran out or was stopped leaves the connection in the
    // middle of an answer: it can carry nothing more, and is closed at the
    // end without waiting for the server again.
    if (lost_ || (!isStopped(error) && !isTimedOut(error)))
        return;
    lost_ = error;
    stream_ = nullptr;
    // The server need not go on with what nobody waits for any more.
    canceller_.cancelInBackground();
    canceller_.disarm();
}

PgResult PgSession::check(PgResult result, ExecStatusType expected) {
    if (!result || PQresultStatus(result.get()) != expected)
        fail(result.get());
    return result;
}

void PgSession::fail(const PGresult* result) {
    const Error error = pgResultError(result, connection_.get());
    noteIfLost(error);
    throw error;
}

bool PgSession::noteIfLost(const Error& cause) noexcept {
    if (lost_)
        return true;
    if (!connection_ || PQstatus(connection_.get()) != CONNECTION_BAD)
        return false;
    lost_ = cause;
    stream_ = nullptr;
    canceller_.disarm();
    return true;
}

void PgSession::startStream(PgStream& stream) {
    stream_ = &stream;
    canceller_.setUnderWay(true);
}

void PgSession::endStream(const PgStream& stream) noexcept {
    if (stream_ == &stream) {
        stream_ = nullptr;
        canceller_.setUnderWay(false);
    }
}

std::unique_ptr<ResultSet> PgSession::execute(const std::shared_ptr<PgSession>& self,
                                              const QString& commandText) {
    if (counted_ && inTableRead_ && counted_->text == commandText)
        return std::make_unique<PgResultSet>(self, std::move(counted_));
    counted_.reset();
    std::shared_ptr<const PgCommand> command = describePgCommand(*this, commandText);
    if (command->columns.empty()) {
        runPreparedPgCommand(*this);
        return std::make_unique<PgResultSet>(self, command, PgResultSet::NoRows{});
    }
    if (inTableRead_)
        counted_ = command;
    const CountStatements counts =
        dialectOf(DatabaseKind::PostgreSQL)
            .countStatements(commandText, std::vector<CountedColumn>(command->columns.size()));
    CountedResultSet::Query query{
        [self] { return self->isOpen(); },
        // A count that fails raises the server's error: reading the rows
        // would compute the same columns, and fail the same way.
        [self](const QString& statement) -> std::optional<std::int64_t> {
            const PgResult result = self->run(statement.toUtf8(), PGRES_TUPLES_OK);
            if (PQntuples(result.get()) != 1 || PQnfields(result.get()) != 1)
                return std::nullopt;
            bool ok = false;
            const qint64 rows = QByteArray(PQgetvalue(result.get(), 0, 0)).toLongLong(&ok);
            return ok ? std::optional<std::int64_t>(rows) : std::nullopt;
        },
        [self, command] { return std::make_unique<PgResultSet>(self, command); },
        counts.all,
        counts.first,
    };
    return std::make_unique<CountedResultSet>(std::move(query),
                                              static_cast<int>(command->columns.size()));
}

void PgSession::beginTableRead() {
    use();
    counted_.reset();
    snapshot_.beginTable();
    inTableRead_ = true;
}

void PgSession::endTableRead(bool completed) {
    counted_.reset();
    inTableRead_ = false;
    use();
    snapshot_.endTable(completed);
}

void PgSession::run(const char* statement) {
    run(QByteArray(statement), PGRES_COMMAND_OK);
}

std::optional<QString> PgSession::value(const char* query) {
    const PgResult result = run(QByteArray(query), PGRES_TUPLES_OK);
    if (PQntuples(result.get()) < 1 || PQnfields(result.get()) < 1 ||
        PQgetisnull(result.get(), 0, 0))
        return std::nullopt;
    return QString::fromUtf8(PQgetvalue(result.get(), 0, 0));
}

}  // namespace brivano::db
