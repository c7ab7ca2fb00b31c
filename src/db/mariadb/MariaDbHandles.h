#pragma once

#include <mysql.h>

#include <memory>

#include "db/Error.h"

namespace brivano::db {

struct MysqlCloser {
    void operator()(MYSQL* connection) const { mysql_close(connection); }
};
using MysqlHandle = std::unique_ptr<MYSQL, MysqlCloser>;

struct MysqlStatementCloser {
    void operator()(MYSQL_STMT* statement) const { mysql_stmt_close(statement); }
};
using MysqlStatementHandle = std::unique_ptr<MYSQL_STMT, MysqlStatementCloser>;

struct MysqlResultFreer {
    void operator()(MYSQL_RES* result) const { mysql_free_result(result); }
};
using MysqlResultHandle = std::unique_ptr<MYSQL_RES, MysqlResultFreer>;

// The last error of a connection or a statement, as the client library or
// the server reported it: native number, SQLSTATE, the message on one line.
Error mariaDbError(MYSQL* connection);
Error mariaDbError(MYSQL_STMT* statement);

// True for the errors after which the connection is gone: the server went
// away, the link broke, or the session was killed.
bool isConnectionLost(const Error& error);

// True for a statement stopped on request (KILL QUERY, a time limit).
bool isInterrupted(const Error& error);

}  // namespace brivano::db
