#include "db/odbc/OdbcSnapshot.h"

#include "db/LayerErrors.h"
#include "db/odbc/OdbcDiagnostics.h"
#include "db/odbc/OdbcHandle.h"
#include "db/odbc/OdbcLocaleScope.h"
#include "db/odbc/OdbcText.h"

namespace brivano::db {
namespace {

constexpr QStringView kSavepoint = u"SAVEPOINT brivano_table";
constexpr QStringView kReleaseSavepoint = u"RELEASE SAVEPOINT brivano_table";
constexpr QStringView kRollbackToSavepoint = u"ROLLBACK TO SAVEPOINT brivano_table";
constexpr SQLLEN kTextChars = 64;

// A statement handle of its own for each setting, freed at once.
class ScratchStatement {
  public:
    explicit ScratchStatement(SQLHDBC connection) {
        SQLHANDLE handle = SQL_NULL_HANDLE;
        if (SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_STMT, connection, &handle)))
            handle_ = OdbcHandle(SQL_HANDLE_STMT, handle);
    }
    SQLHSTMT get() const { return handle_.get(); }
    OdbcHandleRef ref() const { return handle_.ref(); }
    explicit operator bool() const { return static_cast<bool>(handle_); }

  private:
    OdbcHandle handle_;
};

std::optional<Error> failureOf(SQLRETURN rc, OdbcHandleRef handle) {
    if (SQL_SUCCEEDED(rc) || rc == SQL_NO_DATA)
        return std::nullopt;
    try {
        raiseOdbcFailure(rc, handle, "SQLExecDirect");
    } catch (const Error& error) {
        return error;
    }
}

}  // namespace

void OdbcSnapshot::setUp(SQLHDBC connection, OdbcDbms dbms) {
    connection_ = connection;
    dbms_ = dbms;
    // Drivers that know the attribute refuse writes themselves.
    SQLSetConnectAttrW(connection, SQL_ATTR_ACCESS_MODE,
                       reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(SQL_MODE_READ_ONLY)), 0);
    switch (dbms) {
        case OdbcDbms::PostgreSQL:
            // Money's text in a form that reads back exactly.
            run(u"SET lc_monetary TO 'C'");
            scope_ = !run(
                         u"SET SESSION CHARACTERISTICS AS TRANSACTION "
                         u"ISOLATION LEVEL REPEATABLE READ, READ ONLY")
                         ? Scope::Run
                         : Scope::None;
            break;
        case OdbcDbms::MariaDB:
            scope_ = !run(u"SET SESSION TRANSACTION ISOLATION LEVEL REPEATABLE READ, READ ONLY")
                         ? Scope::Run
                         : Scope::None;
            break;
        case OdbcDbms::Sqlite: {
            run(u"PRAGMA query_only = 1");
            const std::optional<QString> journal = queryText(u"PRAGMA journal_mode");
            scope_ = journal && journal->compare(u"wal", Qt::CaseInsensitive) == 0 ? Scope::Run
                                                                                   : Scope::Table;
            break;
        }
        case OdbcDbms::Other:
            scope_ = Scope::None;
            break;
    }
}

std::optional<Error> OdbcSnapshot::run(QStringView statement) const {
    OdbcLocaleScope utf8;
    ScratchStatement scratch(connection_);
    if (!scratch)
        return Error(0, QStringLiteral("SQLAllocHandle(STMT)"));
    const QString text = statement.toString();
    return failureOf(SQLExecDirectW(scratch.get(), wideArgument(text), SQL_NTS), scratch.ref());
}

std::optional<QString> OdbcSnapshot::queryText(QStringView statement) const {
    OdbcLocaleScope utf8;
    ScratchStatement scratch(connection_);
    const QString text = statement.toString();
    SQLWCHAR value[kTextChars] = {};
    SQLLEN indicator = 0;
    if (!scratch || !SQL_SUCCEEDED(SQLExecDirectW(scratch.get(), wideArgument(text), SQL_NTS)) ||
        !SQL_SUCCEEDED(SQLFetch(scratch.get())) ||
        !SQL_SUCCEEDED(
            SQLGetData(scratch.get(), 1, SQL_C_WCHAR, value, sizeof(value), &indicator)) ||
        indicator == SQL_NULL_DATA)
        return std::nullopt;
    return fromWideBuffer(value, kTextChars, indicator / static_cast<SQLLEN>(sizeof(SQLWCHAR)));
}

void OdbcSnapshot::beginTable() {
    if (scope_ == Scope::None)
        return;
    if (dbms_ == OdbcDbms::Sqlite) {
        // SQLite's driver holds a whole result in memory once autocommit is
        // off: the transaction is opened by hand instead.
        if (!inTransaction_) {
            if (const std::optional<Error> failure = run(u"BEGIN")) {
                scope_ = Scope::None;
                return;
            }
            inTransaction_ = true;
        }
        return;
    }
    if (!inTransaction_) {
        // With autocommit off the driver opens a transaction at the next
        // statement, and the snapshot is taken at its first read.
        const SQLRETURN rc = SQLSetConnectAttrW(
            connection_, SQL_ATTR_AUTOCOMMIT,
            reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(SQL_AUTOCOMMIT_OFF)), 0);
        if (!SQL_SUCCEEDED(rc)) {
            scope_ = Scope::None;
            return;
        }
        inTransaction_ = true;
    }
    if (dbms_ == OdbcDbms::PostgreSQL) {
        if (const std::optional<Error> failure = run(kSavepoint)) {
            if (isConnectionFailure(*failure))
                throw *failure;
            endTransaction();
        }
    }
}

void OdbcSnapshot::endTable(bool completed) noexcept {
    if (!inTransaction_)
        return;
    if (dbms_ == OdbcDbms::PostgreSQL && run(completed ? kReleaseSavepoint : kRollbackToSavepoint))
        endTransaction();  // the driver ended it already, or the connection is gone
    if (scope_ == Scope::Table)
        endTransaction();
}

void OdbcSnapshot::endTransaction() noexcept {
    // Nothing was written: ending the read-only transaction either way is
    // the same, and the next statement opens a new one.
    if (dbms_ == OdbcDbms::Sqlite) {
        run(u"ROLLBACK");
        inTransaction_ = false;
        return;
    }
    SQLEndTran(SQL_HANDLE_DBC, connection_, SQL_ROLLBACK);
}

void OdbcSnapshot::end() noexcept {
    if (inTransaction_)
        endTransaction();
    inTransaction_ = false;
}

}  // namespace brivano::db
