#include "db/odbc/OdbcSession.h"

#include <algorithm>

#include "db/LayerErrors.h"
#include "texts/Texts.h"

#include "db/ConnectionString.h"
#include "db/odbc/OdbcDiagnostics.h"
#include "db/odbc/OdbcLocaleScope.h"
#include "db/odbc/OdbcText.h"

namespace brivano::db {

namespace {

constexpr SQLSMALLINT kInfoChars = 128;

// The database by the DBMS name that the driver reports, e.g. "SQLite" or
// "PostgreSQL". Only used to recognise one database's habits: an unknown
// name means the ordinary rules apply.
OdbcDbms dbmsOf(SQLHDBC connection) {
    SQLWCHAR name[kInfoChars] = {};
    SQLSMALLINT bytes = 0;
    const SQLRETURN rc = SQLGetInfoW(connection, SQL_DBMS_NAME, name, sizeof(name), &bytes);
    if (!SQL_SUCCEEDED(rc)) {
        return OdbcDbms::Other;
    }
    const QString dbms =
        fromWideBuffer(name, kInfoChars, bytes / static_cast<SQLSMALLINT>(sizeof(SQLWCHAR)));
    auto is = [&dbms](QStringView known) { return dbms.compare(known, Qt::CaseInsensitive) == 0; };
    if (is(u"SQLite"))
        return OdbcDbms::Sqlite;
    if (is(u"PostgreSQL"))
        return OdbcDbms::PostgreSQL;
    if (is(u"MariaDB") || is(u"MySQL"))
        return OdbcDbms::MariaDB;
    return OdbcDbms::Other;
}

}  // namespace

OdbcSession::~OdbcSession() {
    end();
}

void OdbcSession::connect(const QString& connectionString) {
    // The driver manager picks its text converters for the connection now.
    OdbcLocaleScope utf8;

    SQLHANDLE handle = SQL_NULL_HANDLE;
    SQLRETURN rc = SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &handle);
    if (!SQL_SUCCEEDED(rc)) {
        // No environment means no diagnostics either: the failure is all
        // there is to report.
        raiseOdbcFailure(rc, {}, "SQLAllocHandle(ENV)");
    }
    environment_ = OdbcHandle(SQL_HANDLE_ENV, handle);
    rc = SQLSetEnvAttr(environment_.get(), SQL_ATTR_ODBC_VERSION,
                       reinterpret_cast<SQLPOINTER>(static_cast<SQLLEN>(SQL_OV_ODBC3)), 0);
    checkOdbc(rc, environment_.ref(), "SQLSetEnvAttr");

    rc = SQLAllocHandle(SQL_HANDLE_DBC, environment_.get(), &handle);
    checkOdbc(rc, environment_.ref(), "SQLAllocHandle(DBC)");
    connection_ = OdbcHandle(SQL_HANDLE_DBC, handle);

    rc = SQLDriverConnectW(connection_.get(), nullptr, wideArgument(connectionString), SQL_NTS,
                           nullptr, 0, nullptr, SQL_DRIVER_NOPROMPT);
    checkOdbc(rc, connection_.ref(), "SQLDriverConnect");
    open_ = true;
    const OdbcDbms dbms = dbmsOf(connection_.get());
    const bool mariadb = dbms == OdbcDbms::MariaDB;
    const bool postgres = dbms == OdbcDbms::PostgreSQL;
    columnRules_.byDeclaredName = dbms == OdbcDbms::Sqlite;
    // The Unicode driver talks utf8mb4 unless the string names a charset.
    const QString charset = connectionAttribute(connectionString, u"CHARSET").value_or(QString());
    columnRules_.narrowTextIsUtf8 =
        mariadb && (charset.isEmpty() || charset.startsWith(u"utf8", Qt::CaseInsensitive));
    columnRules_.datesAsText = postgres || mariadb;
    columnRules_.castsForText = postgres;
    countsSelectedRows_ = postgres || mariadb;
    snapshot_.setUp(connection_.get(), dbms);
    SQLUINTEGER extensions = 0;
    if (SQL_SUCCEEDED(SQLGetInfoW(connection_.get(), SQL_GETDATA_EXTENSIONS, &extensions,
                                  sizeof(extensions), nullptr))) {
        constexpr SQLUINTEGER kNeeded = SQL_GD_BLOCK | SQL_GD_BOUND;
        readsBlocks_ = (extensions & kNeeded) == kNeeded;
    }
}

void OdbcSession::disconnect() {
    if (!open_) {
        return;
    }
    OdbcLocaleScope utf8;
    snapshot_.end();
    clearStatements();
    const SQLRETURN rc = SQLDisconnect(connection_.get());
    std::vector<Error> records;
    if (!SQL_SUCCEEDED(rc)) {
        records = readDiagnostics(connection_.ref());
    }
    open_ = false;
    // The handles go even when disconnecting failed: the session is over.
    connection_.reset();
    environment_.reset();
    if (!SQL_SUCCEEDED(rc)) {
        raiseOdbcRecords(rc, std::move(records), "SQLDisconnect");
    }
}

void OdbcSession::end() noexcept {
    if (!open_) {
        return;
    }
    snapshot_.end();
    clearStatements();
    // A failure here has nowhere to go; the handles are freed either way.
    SQLDisconnect(connection_.get());
    open_ = false;
    connection_.reset();
    environment_.reset();
}

SQLHSTMT OdbcSession::allocateStatement() {
    SQLHANDLE handle = SQL_NULL_HANDLE;
    const SQLRETURN rc = SQLAllocHandle(SQL_HANDLE_STMT, connection_.get(), &handle);
    checkOdbc(rc, connection_.ref(), "SQLAllocHandle(STMT)");
    const std::lock_guard lock(statementsMutex_);
    statements_.emplace_back(SQL_HANDLE_STMT, handle);
    return handle;
}

void OdbcSession::freeStatement(SQLHSTMT statement) {
    const std::lock_guard lock(statementsMutex_);
    auto it = std::find_if(statements_.begin(), statements_.end(),
                           [statement](const OdbcHandle& h) { return h.get() == statement; });
    if (it != statements_.end()) {
        statements_.erase(it);
    }
}

void OdbcSession::clearStatements() {
    const std::lock_guard lock(statementsMutex_);
    statements_.clear();
}

void OdbcSession::cancel() noexcept {
    // SQLCancel is the one call that may come from another thread while a
    // statement runs; on a statement that is idle it does nothing.
    const std::lock_guard lock(statementsMutex_);
    for (const OdbcHandle& statement : statements_)
        SQLCancel(statement.get());
}

void OdbcSession::noteFailure(const Error& error) {
    if (!lost_ && isConnectionFailure(error))
        lost_ = error;
}

void OdbcSession::checkConnected() {
    if (!lost_) {
        SQLUINTEGER dead = SQL_CD_FALSE;
        if (SQL_SUCCEEDED(SQLGetConnectAttrW(connection_.get(), SQL_ATTR_CONNECTION_DEAD, &dead, 0,
                                             nullptr)) &&
            dead == SQL_CD_TRUE)
            lost_ = Error(0, texts::kConnectionDead.toString(), QStringLiteral("08S01"));
    }
    if (lost_)
        throw connectionLostError(*lost_);
}

void OdbcSession::beginTableRead() {
    checkConnected();
    snapshot_.beginTable();
}

void OdbcSession::endTableRead(bool completed) {
    // A connection that is gone has no snapshot to end; the next table
    // hears of it.
    if (!lost_)
        snapshot_.endTable(completed);
}

}  // namespace brivano::db
