#pragma once

#include <libpq-fe.h>

#include <QStringView>

#include "db/Error.h"

namespace brivano::db {

// SQLSTATE for a connection that could not be made, when libpq gives none.
inline constexpr QStringView kPgCannotConnect = u"08001";
// SQLSTATE for a connection that broke under an operation, when the
// server had no time to say why.
inline constexpr QStringView kPgConnectionBroken = u"08006";

// The error the server reported in `result` ("ERROR: <message>"), on one
// line, with its SQLSTATE; libpq's own message when the server sent none.
Error pgResultError(const PGresult* result, PGconn* connection);

// libpq's message for the connection's last failure, on one line.
Error pgConnectionError(PGconn* connection, QStringView sqlState);

}  // namespace brivano::db
