// Set-up statements of the tests, through the ODBC driver manager directly:
// Brivano's own connections are read-only, as they must be.
#include <QString>
#include <QStringList>

#include "db/Error.h"
#include "db/odbc/OdbcApi.h"
#include "support/TestSupport.h"

namespace brivano::test {
namespace {

// One handle, freed when it goes.
class Handle {
  public:
    Handle(SQLSMALLINT type, SQLHANDLE parent) : type_(type) {
        if (!SQL_SUCCEEDED(SQLAllocHandle(type, parent, &handle_)))
            throw Error(0, QStringLiteral("SQLAllocHandle failed"));
    }
    ~Handle() { SQLFreeHandle(type_, handle_); }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    SQLHANDLE get() const { return handle_; }

  private:
    SQLSMALLINT type_;
    SQLHANDLE handle_ = SQL_NULL_HANDLE;
};

void check(SQLRETURN rc, SQLSMALLINT type, SQLHANDLE handle, const QString& what) {
    if (SQL_SUCCEEDED(rc) || rc == SQL_NO_DATA)
        return;
    SQLWCHAR state[6] = {};
    SQLINTEGER native = 0;
    SQLWCHAR message[1024] = {};
    SQLSMALLINT length = 0;
    SQLGetDiagRecW(type, handle, 1, state, &native, message, 1024, &length);
    throw Error(native, what + QStringLiteral(": ") + db::fromWideBuffer(message, 1024, length),
                db::fromWideBuffer(state, 6, 5));
}

}  // namespace

void runStatements(const QString& connectionString, const QStringList& statements) {
    const Handle environment(SQL_HANDLE_ENV, SQL_NULL_HANDLE);
    SQLSetEnvAttr(environment.get(), SQL_ATTR_ODBC_VERSION,
                  reinterpret_cast<SQLPOINTER>(static_cast<SQLLEN>(SQL_OV_ODBC3)), 0);
    const Handle connection(SQL_HANDLE_DBC, environment.get());
    // Wide calls, as Brivano's own: the text is UTF-16 on every system.
    check(SQLDriverConnectW(connection.get(), nullptr, db::wideArgument(connectionString), SQL_NTS,
                            nullptr, 0, nullptr, SQL_DRIVER_NOPROMPT),
          SQL_HANDLE_DBC, connection.get(), connectionString);
    for (const QString& statement : statements) {
        const Handle handle(SQL_HANDLE_STMT, connection.get());
        check(SQLExecDirectW(handle.get(), db::wideArgument(statement), SQL_NTS), SQL_HANDLE_STMT,
              handle.get(), statement);
    }
    SQLDisconnect(connection.get());
}

}  // namespace brivano::test
