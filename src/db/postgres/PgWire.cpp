#include "db/postgres/PgWire.h"

#include "db/postgres/PgErrors.h"

namespace brivano::db {

namespace {

using Phase = NetworkWait::Phase;

platform::SocketHandle socketOf(PGconn* connection) {
    return static_cast<platform::SocketHandle>(PQsocket(connection));
}

bool isCopy(const PGresult* result) {
    const ExecStatusType status = PQresultStatus(result);
    return status == PGRES_COPY_OUT || status == PGRES_COPY_IN || status == PGRES_COPY_BOTH;
}

bool isError(const PGresult* result) {
    const ExecStatusType status = PQresultStatus(result);
    return status == PGRES_FATAL_ERROR || status == PGRES_BAD_RESPONSE;
}

// Reads what the server sent until a whole result is there.
bool awaitResult(PGconn* connection, const NetworkWait& wait) {
    while (PQisBusy(connection) != 0) {
        if (PQsocket(connection) < 0)
            return false;
        wait.wait(socketOf(connection), {.read = true}, wait.deadline(Phase::Read), Phase::Read);
        if (PQconsumeInput(connection) == 0)
            return false;
    }
    return true;
}

}  // namespace

PgConnectionHandle pgConnect(const PgConnectParams& params, const NetworkWait& wait) {
    PgConnectionHandle connection(PQconnectStartParams(params.keywords(), params.values(), 0));
    if (!connection)
        throw pgConnectionError(nullptr, kPgCannotConnect);
    PGconn* raw = connection.get();
    const NetworkWait::Clock::time_point deadline = wait.deadline(Phase::Connect);
    // As libpq asks: wait as if it had said "writing" before the first poll.
    PostgresPollingStatusType status = PGRES_POLLING_WRITING;
    while (PQstatus(raw) != CONNECTION_BAD && status != PGRES_POLLING_OK &&
           status != PGRES_POLLING_FAILED) {
        // The socket may change from one attempt to the next (host lists).
        if (PQsocket(raw) < 0)
            break;
        wait.wait(
            socketOf(raw),
            {.read = status == PGRES_POLLING_READING, .write = status == PGRES_POLLING_WRITING},
            deadline, Phase::Connect);
        status = PQconnectPoll(raw);
    }
    if (PQstatus(raw) != CONNECTION_OK)
        throw pgConnectionError(raw, kPgCannotConnect);
    if (PQsetnonblocking(raw, 1) != 0)
        throw pgConnectionError(raw, kPgCannotConnect);
    return connection;
}

bool pgFlush(PGconn* connection, const NetworkWait& wait) {
    for (;;) {
        const int left = PQflush(connection);
        if (left == 0)
            return true;
        if (left < 0)
            return false;
        // The server may be sending while it reads: take that in too, or
        // both sides wait on full buffers.
        wait.wait(socketOf(connection), {.read = true, .write = true}, wait.deadline(Phase::Read),
                  Phase::Read);
        if (PQconsumeInput(connection) == 0)
            return false;
    }
}

PgResult pgCollect(PGconn* connection, const NetworkWait& wait) {
    PgResult kept;
    for (;;) {
        if (!awaitResult(connection, wait))
            return kept && isError(kept.get()) ? std::move(kept) : PgResult();
        PgResult result(PQgetResult(connection));
        if (!result)
            return kept;
        const bool copy = isCopy(result.get());
        if (!kept || !isError(kept.get()))
            kept = std::move(result);
        if (copy)
            return kept;
    }
}

int pgCopyData(PGconn* connection, char** buffer, const NetworkWait& wait) {
    for (;;) {
        const int length = PQgetCopyData(connection, buffer, 1);
        if (length != 0)
            return length;
        if (PQsocket(connection) < 0)
            return -2;
        wait.wait(socketOf(connection), {.read = true}, wait.deadline(Phase::Read), Phase::Read);
        if (PQconsumeInput(connection) == 0)
            return -2;
    }
}

}  // namespace brivano::db
