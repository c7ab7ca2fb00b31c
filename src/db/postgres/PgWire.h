#pragma once

#include "db/NetworkWait.h"
#include "db/postgres/PgConnectParams.h"
#include "db/postgres/PgHandles.h"

namespace brivano::db {

// libpq driven without blocking: each wait for the server goes through a
// NetworkWait, so that a silent server runs into its time limit and a stop
// request is heard while it keeps silent. Failures of libpq itself come
// back as libpq reports them (a null result, a failed connection); only the
// waits throw (a limit that ran out, a stop).

// A connection made within the connect limit, in non-blocking mode; throws
// libpq's error when it cannot be made.
PgConnectionHandle pgConnect(const PgConnectParams& params, const NetworkWait& wait);

// Sends what a PQsend... call queued; false when libpq failed.
bool pgFlush(PGconn* connection, const NetworkWait& wait);

// The results of the statement sent, read as they come: the first error
// among them, else the last, or the one that starts a COPY (whose rows
// follow). Null when libpq failed before any result.
PgResult pgCollect(PGconn* connection, const NetworkWait& wait);

// The next message of a COPY, as PQgetCopyData gives it: its length, -1 at
// the end of the COPY, -2 for a failure.
int pgCopyData(PGconn* connection, char** buffer, const NetworkWait& wait);

}  // namespace brivano::db
