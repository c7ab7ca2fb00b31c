#include "db/odbc/OdbcSession.h"

#include <algorithm>

#include "db/ConnectionString.h"
#include "db/odbc/OdbcDiagnostics.h"
#include "db/odbc/OdbcLocaleScope.h"
#include "db/odbc/OdbcText.h"

namespace brivano::db {

namespace {

constexpr SQLSMALLINT kInfoChars = 128;

// The DBMS name that the driver reports, e.g. "SQLite" or "PostgreSQL".
QString dbmsName(SQLHDBC connection) {
    SQLWCHAR name[kInfoChars] = {};
    SQLSMALLINT bytes = 0;
    const SQLRETURN rc = SQLGetInfoW(connection, SQL_DBMS_NAME, name, sizeof(name), &bytes);
    if (!SQL_SUCCEEDED(rc)) {
        // Only used to recognise one driver's habits: an unknown name means
        // the ordinary rules apply.
        return {};
    }
    return fromWideBuffer(name, kInfoChars, bytes / static_cast<SQLSMALLINT>(sizeof(SQLWCHAR)));
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
    const QString dbms = dbmsName(connection_.get());
    auto is = [&dbms](QStringView name) { return dbms.compare(name, Qt::CaseInsensitive) == 0; };
    const bool mariadb = is(u"MariaDB") || is(u"MySQL");
    columnRules_.byDeclaredName = is(u"SQLite");
    // The Unicode driver talks utf8mb4 unless the string names a charset.
    const QString charset = connectionAttribute(connectionString, u"CHARSET").value_or(QString());
    columnRules_.narrowTextIsUtf8 =
        mariadb && (charset.isEmpty() || charset.startsWith(u"utf8", Qt::CaseInsensitive));
    countsSelectedRows_ = is(u"PostgreSQL") || mariadb;
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
    statements_.clear();
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
    statements_.clear();
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
    statements_.emplace_back(SQL_HANDLE_STMT, handle);
    return handle;
}

void OdbcSession::freeStatement(SQLHSTMT statement) {
    auto it = std::find_if(statements_.begin(), statements_.end(),
                           [statement](const OdbcHandle& h) { return h.get() == statement; });
    if (it != statements_.end()) {
        statements_.erase(it);
    }
}

}  // namespace brivano::db
