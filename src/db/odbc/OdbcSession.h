#pragma once

#include <QString>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "db/Database.h"
#include "db/NetworkWait.h"
#include "db/dialect/Snapshot.h"
#include "db/odbc/OdbcColumn.h"
#include "db/odbc/OdbcHandle.h"

namespace brivano::db {

// A connection through the ODBC driver manager: the environment and
// connection handles and every statement allocated on them. The connection
// string goes to the driver unchanged; statements run forward-only and
// read-only (the ODBC defaults), and their text reaches the driver intact
// whatever the process's locale. Where the driver's database is one whose
// rules Brivano knows (see Dialect), the session follows them: read-only,
// one snapshot per run or table, rows counted on the server.
//
// Shared by the connection and its result sets (see ProviderConnection):
// once closed it stays closed, so an old result set can tell that its
// statement is gone instead of using a freed handle.
class OdbcSession final : private Snapshot::Path {
  public:
    OdbcSession() = default;
    ~OdbcSession() override;
    OdbcSession(const OdbcSession&) = delete;
    OdbcSession& operator=(const OdbcSession&) = delete;

    // Connects with the string passed unchanged to the driver manager,
    // without prompting; throws the driver's error when that fails.
    void open(const QString& connectionString);
    // Ends the snapshot, frees the statements and disconnects. The session
    // is closed afterwards even when the driver reports a failure, which is
    // thrown.
    void close();
    // Disconnects without reporting anything (for destructors).
    void end() noexcept;

    // Runs a command; a SELECT on a database that counts rows on the server
    // is counted there first, and read only when its rows are asked for.
    std::unique_ptr<ResultSet> execute(const std::shared_ptr<OdbcSession>& self,
                                       const QString& commandText);

    bool isOpen() const { return open_; }
    bool isLost() const { return lost_.has_value(); }
    DatabaseKind database() const { return database_; }
    SQLHDBC handle() const { return connection_.get(); }
    OdbcHandleRef ref() const { return connection_.ref(); }

    // How this driver's columns are typed and fetched: by declared type
    // name (SQLite, which reports every text column alike), and text as
    // UTF-8 (MariaDB/MySQL on a UTF-8 connection, whose driver converts to
    // UTF-16 twenty times slower than it copies UTF-8).
    const OdbcColumnRules& columnRules() const { return columnRules_; }

    // True when SQLRowCount after a query gives the number of rows it
    // selected (a positive count is then the real one): PostgreSQL and
    // MariaDB/MySQL, whose drivers hold the whole result. Others report 0
    // or -1, and a driver that reported only the rows fetched so far would
    // be wrong, so no other driver is trusted with it. The same drivers
    // fetch a whole result when a query runs and describe a prepared query
    // without running it, so their rows are better counted by a count query.
    bool countsSelectedRows() const { return countsSelectedRows_; }

    // True when the driver lets SQLGetData read a bound column of any row
    // of a block (SQL_GD_BLOCK and SQL_GD_BOUND), which block fetching
    // needs to read an over-long value whole.
    bool readsBlocks() const { return readsBlocks_; }

    // A new statement handle on this connection; it stays valid until
    // freeStatement() or the end of the session, whichever comes first.
    SQLHSTMT allocateStatement();
    void freeStatement(SQLHSTMT statement);

    // The two readings of a table in one snapshot (see Snapshot).
    // beginTableRead() fails at once when the connection is known lost.
    void beginTableRead();
    void endTableRead(bool completed) { snapshot_.endTable(completed); }
    // Stops the statement under way; callable from another thread.
    void cancel() noexcept;

    // Takes note of a failure: one of the connection itself makes every
    // later operation fail at once (checkConnected()).
    void noteFailure(const Error& error);
    // Throws the lost connection's error when the connection is gone.
    void checkConnected();

  private:
    // Ends the snapshot, frees the statements and disconnects; the failure
    // to disconnect, if the driver reports one.
    std::optional<Error> disconnect() noexcept;
    void clearStatements();
    // The database's own settings, where its rules have any.
    void setUpSession();
    void run(const char* statement) override;
    std::optional<QString> value(const char* query) override;
    bool beginTransaction() override;
    void endTransaction() override;

    OdbcHandle environment_;
    OdbcHandle connection_;
    std::vector<OdbcHandle> statements_;
    std::mutex statementsMutex_;  // cancel() walks the statements from another thread
    std::optional<Error> lost_;
    bool open_ = false;
    DatabaseKind database_ = DatabaseKind::Other;
    Snapshot snapshot_{dialectOf(DatabaseKind::Other), *this};
    OdbcColumnRules columnRules_;
    bool countsSelectedRows_ = false;
    bool readsBlocks_ = false;
    WaitLimits waitLimits_;
};

// Owns a statement of a session; freeing it after the session ended is
// harmless because the session freed it first.
class OdbcStatement {
  public:
    explicit OdbcStatement(std::shared_ptr<OdbcSession> session)
        : session_(std::move(session)), handle_(session_->allocateStatement()) {}
    ~OdbcStatement() { release(); }
    OdbcStatement(const OdbcStatement&) = delete;
    OdbcStatement& operator=(const OdbcStatement&) = delete;

    SQLHSTMT get() const { return handle_; }
    OdbcHandleRef ref() const { return {SQL_HANDLE_STMT, handle_}; }
    bool isValid() const { return handle_ != SQL_NULL_HANDLE && session_->isOpen(); }
    OdbcSession& session() const { return *session_; }

    // Gives the handle back early (a result read to its end), so the driver
    // can drop a result it holds in memory.
    void release() {
        if (handle_ != SQL_NULL_HANDLE) {
            session_->freeStatement(handle_);
            handle_ = SQL_NULL_HANDLE;
        }
    }

  private:
    std::shared_ptr<OdbcSession> session_;
    SQLHSTMT handle_;
};

}  // namespace brivano::db
