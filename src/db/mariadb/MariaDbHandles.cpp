#include "db/mariadb/MariaDbHandles.h"

#include <errmsg.h>
#include <mysqld_error.h>

#include "db/MessageText.h"

namespace brivano::db {

namespace {

Error makeError(unsigned int number, const char* message, const char* sqlState) {
    return Error(static_cast<long>(number), singleLineMessage(QString::fromUtf8(message)),
                 QString::fromLatin1(sqlState));
}

}  // namespace

Error mariaDbError(MYSQL* connection) {
    return makeError(mysql_errno(connection), mysql_error(connection), mysql_sqlstate(connection));
}

Error mariaDbError(MYSQL_STMT* statement) {
    return makeError(mysql_stmt_errno(statement), mysql_stmt_error(statement),
                     mysql_stmt_sqlstate(statement));
}

bool isConnectionLost(const Error& error) {
    switch (error.number()) {
        case CR_SERVER_GONE_ERROR:
        case CR_SERVER_LOST:
        case CR_SERVER_LOST_EXTENDED:
        case ER_CONNECTION_KILLED:
            return true;
        default:
            return false;
    }
}

bool isInterrupted(const Error& error) {
    return error.number() == ER_QUERY_INTERRUPTED || error.number() == ER_STATEMENT_TIMEOUT;
}

}  // namespace brivano::db
