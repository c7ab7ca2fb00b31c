#include "db/sqlite/SqliteHandles.h"

#include "db/MessageText.h"

namespace brivano::db {

namespace {

// SQLSTATE HY000: general error, as the ODBC driver reports SQLite's errors.
constexpr QStringView kGeneralError = u"HY000";

}  // namespace

Error sqliteError(sqlite3* database, int code) {
    const char* message = database != nullptr ? sqlite3_errmsg(database) : sqlite3_errstr(code);
    const int number = database != nullptr ? sqlite3_extended_errcode(database) : code;
    const QString text = QStringLiteral("[SQLite]%1 (%2)")
                             .arg(singleLineMessage(QString::fromUtf8(message)))
                             .arg(code & 0xFF);
    return Error(number, text, kGeneralError.toString());
}

}  // namespace brivano::db
