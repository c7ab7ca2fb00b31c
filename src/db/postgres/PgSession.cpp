#include "db/postgres/PgSession.h"

#include "db/LayerErrors.h"
#include "db/postgres/PgConnectParams.h"
#include "db/postgres/PgErrors.h"

namespace brivano::db {

namespace {

// What every session sets before its first statement. The session reads
// only; dates and reals are written as the ODBC driver has the server
// write them (ISO dates, reals to the last digit), for the types read as
// the server's text.
const char* const kSessionSettings[] = {
    "SET default_transaction_read_only = on",
    "SET DateStyle = 'ISO'",
    "SET extra_float_digits = 2",
};

// The run's snapshot: one read-only transaction that sees every table as
// it was at its first reading; a savepoint per table undoes a failed one,
// which would otherwise abort the whole transaction.
constexpr char kBeginRun[] = "BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY";
constexpr char kBeginTable[] = "SAVEPOINT brivano_table";
constexpr char kEndTable[] = "RELEASE SAVEPOINT brivano_table";
constexpr char kUndoTable[] = "ROLLBACK TO SAVEPOINT brivano_table";
constexpr char kEndRun[] = "COMMIT";

}  // namespace

void PgSession::open(const QString& connectionString) {
    const PgConnectParams params(connectionString);
    PgConnectionHandle connection(PQconnectdbParams(params.keywords(), params.values(), 0));
    if (!connection)
        throw pgConnectionError(nullptr, kPgCannotConnect);
    if (PQstatus(connection.get()) != CONNECTION_OK)
        throw pgConnectionError(connection.get(), kPgCannotConnect);
    // libpq prints the server's notices on standard error, among the run's
    // own lines; they are no failures (every failure comes back as an error
    // result and is reported), and the ODBC driver does not show them.
    PQsetNoticeProcessor(
        connection.get(), [](void*, const char*) {}, nullptr);
    connection_ = std::move(connection);
    canceller_.arm(connection_.get());
    try {
        for (const char* setting : kSessionSettings)
            run(setting, PGRES_COMMAND_OK);
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
    std::optional<Error> failure;
    if (PQtransactionStatus(connection_.get()) != PQTRANS_IDLE) {
        try {
            run(kEndRun, PGRES_COMMAND_OK);
        } catch (const Error& error) {
            failure = error;
        }
    }
    end();
    if (failure)
        throw *failure;
}

void PgSession::end() noexcept {
    if (stream_ != nullptr) {
        PgStream* stream = stream_;
        stream_ = nullptr;
        stream->letGo(false);
    }
    canceller_.disarm();
    connection_.reset();
    lost_.reset();
    inTableRead_ = false;
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
    PgResult result(PQexecParams(
        connection, statement.constData(), static_cast<int>(parameters.size()), nullptr,
        parameters.empty() ? nullptr : parameters.data(), nullptr, nullptr, 0));
    canceller_.setUnderWay(false);
    return check(std::move(result), expected);
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

void PgSession::beginTableRead() {
    use();
    if (PQtransactionStatus(connection_.get()) == PQTRANS_IDLE)
        run(kBeginRun, PGRES_COMMAND_OK);
    run(kBeginTable, PGRES_COMMAND_OK);
    inTableRead_ = true;
}

void PgSession::endTableRead(bool completed) {
    if (lost_) {
        // The table's own failure told of the loss; no snapshot is left.
        inTableRead_ = false;
        return;
    }
    use();
    if (!inTableRead_)
        return;
    inTableRead_ = false;
    const PGTransactionStatusType status = PQtransactionStatus(connection_.get());
    if (status == PQTRANS_IDLE)
        return;  // the transaction ended under the table: nothing to undo
    // A statement that failed left the transaction aborted, whatever the
    // caller knows of it: only going back to the savepoint mends it.
    if (!completed || status == PQTRANS_INERROR)
        run(kUndoTable, PGRES_COMMAND_OK);
    run(kEndTable, PGRES_COMMAND_OK);
}

}  // namespace brivano::db
