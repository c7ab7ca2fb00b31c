#pragma once

#include <libpq-fe.h>

#include <memory>

namespace brivano::db {

// Owners of what libpq hands out: each frees its object with the call
// libpq asks for, whatever way the scope is left.
struct PgConnectionFinisher {
    void operator()(PGconn* connection) const { PQfinish(connection); }
};
using PgConnectionHandle = std::unique_ptr<PGconn, PgConnectionFinisher>;

struct PgResultClearer {
    void operator()(PGresult* result) const { PQclear(result); }
};
using PgResult = std::unique_ptr<PGresult, PgResultClearer>;

struct PgCancelFreer {
    void operator()(PGcancel* cancel) const { PQfreeCancel(cancel); }
};
using PgCancelHandle = std::unique_ptr<PGcancel, PgCancelFreer>;

// A row of COPY data, which libpq allocates for each call.
struct PgMemoryFreer {
    void operator()(char* memory) const { PQfreemem(memory); }
};
using PgCopyBuffer = std::unique_ptr<char, PgMemoryFreer>;

}  // namespace brivano::db
