#include "db/odbc/OdbcSession.h"

#include <algorithm>

#include "db/ConnectionString.h"
#include "db/LayerErrors.h"
#include "db/NetworkWait.h"
#include "db/odbc/OdbcApi.h"
#include "db/odbc/OdbcCountedQuery.h"
#include "db/odbc/OdbcDiagnostics.h"
#include "db/odbc/OdbcResultSet.h"
#include "texts/Texts.h"

namespace brivano::db {

namespace {

constexpr SQLSMALLINT kInfoChars = 128;
constexpr SQLLEN kValueChars = 64;

// The database by the DBMS name that the driver reports, e.g. "SQLite" or
// "PostgreSQL". Only used to recognise one database's habits: an unknown
// name means the ordinary rules apply.
DatabaseKind databaseOf(SQLHDBC connection) {
    SQLWCHAR name[kInfoChars] = {};
    SQLSMALLINT bytes = 0;
    const SQLRETURN rc = SQLGetInfoW(connection, SQL_DBMS_NAME, name, sizeof(name), &bytes);
    if (!SQL_SUCCEEDED(rc)) {
        return DatabaseKind::Other;
    }
    const QString dbms =
        fromWideBuffer(name, kInfoChars, bytes / static_cast<SQLSMALLINT>(sizeof(SQLWCHAR)));
    auto is = [&dbms](QStringView known) { return dbms.compare(known, Qt::CaseInsensitive) == 0; };
    if (is(u"SQLite"))
        return DatabaseKind::Sqlite;
    if (is(u"PostgreSQL"))
        return DatabaseKind::PostgreSQL;
    if (is(u"MariaDB") || is(u"MySQL"))
        return DatabaseKind::MariaDB;
    return DatabaseKind::Other;
}

// How the driver of each database hands its values over.
OdbcColumnRules columnRulesOf(DatabaseKind database, const QString& connectionString) {
    const bool mariadb = database == DatabaseKind::MariaDB;
    const bool postgres = database == DatabaseKind::PostgreSQL;
    OdbcColumnRules rules;
    rules.byDeclaredName = database == DatabaseKind::Sqlite;
    // The Unicode driver talks utf8mb4 unless the string names a charset.
    const QString charset = connectionAttribute(connectionString, u"CHARSET").value_or(QString());
    rules.narrowTextIsUtf8 =
        mariadb && (charset.isEmpty() || charset.startsWith(u"utf8", Qt::CaseInsensitive));
    rules.datesAsText = postgres || mariadb;
    rules.castsForText = postgres;
    return rules;
}

// A statement handle of its own for one of the session's statements,
// freed at once.
class ScratchStatement {
  public:
    explicit ScratchStatement(SQLHDBC connection) {
        SQLHANDLE handle = SQL_NULL_HANDLE;
        checkOdbc(SQLAllocHandle(SQL_HANDLE_STMT, connection, &handle),
                  {SQL_HANDLE_DBC, connection}, "SQLAllocHandle(STMT)");
        handle_ = OdbcHandle(SQL_HANDLE_STMT, handle);
    }
    // Runs `statement`; throws the driver's error.
    void execute(const char* statement) {
        const QString text = QString::fromLatin1(statement);
        const SQLRETURN rc = SQLExecDirectW(handle_.get(), wideArgument(text), SQL_NTS);
        if (rc != SQL_NO_DATA)
            checkOdbc(rc, handle_.ref(), "SQLExecDirect");
    }
    SQLHSTMT get() const { return handle_.get(); }
    OdbcHandleRef ref() const { return handle_.ref(); }

  private:
    OdbcHandle handle_;
};

// The PostgreSQL driver has no limit on a read. TCP keepalives stand in for
// one where the network itself goes silent: probes a twentieth of the limit
// apart, the first late enough that the ninth (Linux's count; Windows sends
// ten) ends with the limit. A server that is up but silent still answers
// them: only a signal ends that wait. The driver's own keys, not libpq's
// through pqopt: an older driver ignores a key it does not know, where its
// libpq would refuse the whole string for an option it does not know.
constexpr int kKeepaliveProbes = 9;
int keepaliveInterval(int seconds) {
    return std::max(1, seconds / 20);
}
int keepaliveIdle(int seconds) {
    return std::max(1, seconds - kKeepaliveProbes * keepaliveInterval(seconds));
}

// The drivers keep their limits in keys of their own, not in the login
// timeout alone: they are given unless the string gives them.
QString withDriverWaitLimits(const QString& connectionString, const WaitLimits& limits) {
    const QString driver = connectionAttribute(connectionString, u"Driver").value_or(QString());
    const auto driverIs = [&](QStringView name) {
        return driver.contains(name, Qt::CaseInsensitive);
    };
    QString extended = connectionString;
    const auto give = [&](QStringView key, const QString& value) {
        if (!connectionAttribute(connectionString, key))
            extended += (extended.endsWith(u';') ? QString() : QStringLiteral(";")) +
                        key.toString() + u'=' + value;
    };
    if (driverIs(u"MariaDB")) {
        give(u"CONN_TIMEOUT", QString::number(limits.connectSeconds));
        give(u"READ_TIMEOUT", QString::number(limits.readSeconds));
        give(u"WRITE_TIMEOUT", QString::number(limits.readSeconds));
    } else if ((driverIs(u"PostgreSQL") || driverIs(u"psqlodbc")) && limits.readSeconds > 0) {
        give(u"KeepaliveTime", QString::number(keepaliveIdle(limits.readSeconds)));
        give(u"KeepaliveInterval", QString::number(keepaliveInterval(limits.readSeconds)));
    }
    return extended;
}

}  // namespace

OdbcSession::~OdbcSession() {
    end();
}

void OdbcSession::open(const QString& connectionString) {
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

    // The driver's own limits, where it has them: its calls cannot be
    // interrupted, so these are all that bound a silent server's wait.
    // A driver without one answers "optional feature" and waits as it will.
    // No query timeout: the drivers make it a limit on the whole statement
    // (the server's statement_timeout, max_statement_time), which a large
    // table's rows outlast, not one on a silence.
    waitLimits_ = waitLimitsOf(connectionString);
    SQLSetConnectAttrW(
        connection_.get(), SQL_ATTR_LOGIN_TIMEOUT,
        reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(waitLimits_.connectSeconds)), 0);
    SQLSetConnectAttrW(connection_.get(), SQL_ATTR_CONNECTION_TIMEOUT,
                       reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(waitLimits_.readSeconds)),
                       0);
    rc = SQLDriverConnectW(connection_.get(), nullptr,
                           wideArgument(withDriverWaitLimits(connectionString, waitLimits_)),
                           SQL_NTS, nullptr, 0, nullptr, SQL_DRIVER_NOPROMPT);
    checkOdbc(rc, connection_.ref(), "SQLDriverConnect");
    open_ = true;
    database_ = databaseOf(connection_.get());
    columnRules_ = columnRulesOf(database_, connectionString);
    countsSelectedRows_ =
        database_ == DatabaseKind::PostgreSQL || database_ == DatabaseKind::MariaDB;
    SQLUINTEGER extensions = 0;
    if (SQL_SUCCEEDED(SQLGetInfoW(connection_.get(), SQL_GETDATA_EXTENSIONS, &extensions,
                                  sizeof(extensions), nullptr))) {
        constexpr SQLUINTEGER kNeeded = SQL_GD_BLOCK | SQL_GD_BOUND;
        readsBlocks_ = (extensions & kNeeded) == kNeeded;
    }
    try {
        setUpSession();
    } catch (const Error&) {
        end();
        throw;
    }
}

void OdbcSession::setUpSession() {
    // Drivers that know the attribute refuse writes themselves.
    SQLSetConnectAttrW(connection_.get(), SQL_ATTR_ACCESS_MODE,
                       reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(SQL_MODE_READ_ONLY)), 0);
    const Dialect& dialect = dialectOf(database_);
    snapshot_.follow(dialect);
    // A driver that refuses a setting still reads, without a snapshot.
    for (const char* setting : dialect.sessionSettings) {
        try {
            run(setting);
        } catch (const Error& error) {
            if (isConnectionFailure(error))
                throw;
            snapshot_.disable();
        }
    }
    snapshot_.setUp();
}

void OdbcSession::close() {
    if (const std::optional<Error> failure = disconnect())
        throw *failure;
}

void OdbcSession::end() noexcept {
    disconnect();
}

std::optional<Error> OdbcSession::disconnect() noexcept {
    if (!open_)
        return std::nullopt;
    OdbcLocaleScope utf8;
    // In manual-commit mode a driver refuses to disconnect with a
    // transaction open; a read-only one loses nothing however it ends.
    try {
        snapshot_.finish();
    } catch (const Error&) {
    }
    clearStatements();
    const SQLRETURN rc = SQLDisconnect(connection_.get());
    std::optional<Error> failure;
    if (!SQL_SUCCEEDED(rc))
        failure = odbcFailure(rc, connection_.ref(), "SQLDisconnect");
    open_ = false;
    // The handles go even when disconnecting failed: the session is over.
    connection_.reset();
    environment_.reset();
    return failure;
}

std::unique_ptr<ResultSet> OdbcSession::execute(const std::shared_ptr<OdbcSession>& self,
                                                const QString& commandText) {
    checkConnected();
    if (countsSelectedRows_ || columnRules_.byDeclaredName) {
        if (auto counted = prepareCountedOdbc(self, commandText))
            return counted;
    }
    return executeOdbc(self, commandText);
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

void OdbcSession::run(const char* statement) {
    OdbcLocaleScope utf8;
    try {
        ScratchStatement(connection_.get()).execute(statement);
    } catch (const Error& error) {
        noteFailure(error);
        throw;
    }
}

std::optional<QString> OdbcSession::value(const char* query) {
    OdbcLocaleScope utf8;
    ScratchStatement scratch(connection_.get());
    scratch.execute(query);
    SQLWCHAR value[kValueChars] = {};
    SQLLEN indicator = 0;
    const SQLRETURN fetched = SQLFetch(scratch.get());
    if (fetched == SQL_NO_DATA)
        return std::nullopt;
    checkOdbc(fetched, scratch.ref(), "SQLFetch");
    checkOdbc(SQLGetData(scratch.get(), 1, SQL_C_WCHAR, value, sizeof(value), &indicator),
              scratch.ref(), "SQLGetData");
    if (indicator == SQL_NULL_DATA)
        return std::nullopt;
    return fromWideBuffer(value, kValueChars, indicator / static_cast<SQLLEN>(sizeof(SQLWCHAR)));
}

bool OdbcSession::beginTransaction() {
    // With autocommit off the driver opens a transaction at the next
    // statement, and the snapshot is taken at its first read.
    const SQLRETURN rc = SQLSetConnectAttrW(
        connection_.get(), SQL_ATTR_AUTOCOMMIT,
        reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(SQL_AUTOCOMMIT_OFF)), 0);
    checkOdbc(rc, connection_.ref(), "SQLSetConnectAttr(AUTOCOMMIT)");
    return true;
}

void OdbcSession::endTransaction() {
    // Nothing was written: rolling back ends the read-only transaction, and
    // the driver opens the next one at the next statement.
    checkOdbc(SQLEndTran(SQL_HANDLE_DBC, connection_.get(), SQL_ROLLBACK), connection_.ref(),
              "SQLEndTran");
}

}  // namespace brivano::db
