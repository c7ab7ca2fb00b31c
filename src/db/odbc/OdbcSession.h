#pragma once

#include <QString>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "db/Database.h"
#include "db/odbc/OdbcColumn.h"
#include "db/odbc/OdbcHandle.h"
#include "db/odbc/OdbcSnapshot.h"

namespace brivano::db {

// One connection to a data source: the environment and connection handles
// and every statement allocated on them. A connection object makes a new
// session for every open, and the session outlives the connection through
// the result sets that share it: once disconnected it stays closed, so an
// old result set can tell that its statement is gone instead of using a
// freed handle.
class OdbcSession {
  public:
    OdbcSession() = default;
    ~OdbcSession();
    OdbcSession(const OdbcSession&) = delete;
    OdbcSession& operator=(const OdbcSession&) = delete;

    // Connects with the string passed unchanged to the driver manager,
    // without prompting; throws the driver's error when that fails.
    void connect(const QString& connectionString);
    // Frees the statements and disconnects. The session is closed
    // afterwards even when the driver reports a failure, which is thrown.
    void disconnect();

    // Disconnects without reporting anything (for destructors).
    void end() noexcept;

    bool isOpen() const { return open_; }
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

    // The two readings of a table in one snapshot (see OdbcSnapshot).
    // beginTableRead() fails at once when the connection is known lost.
    void beginTableRead();
    void endTableRead(bool completed);
    // Stops the statement under way; callable from another thread.
    void cancel() noexcept;

    // Takes note of a failure: one of the connection itself makes every
    // later operation fail at once (checkConnected()).
    void noteFailure(const Error& error);
    // Throws the lost connection's error when the connection is gone.
    void checkConnected();

  private:
    void clearStatements();

    OdbcHandle environment_;
    OdbcHandle connection_;
    std::vector<OdbcHandle> statements_;
    std::mutex statementsMutex_;  // cancel() walks the statements from another thread
    OdbcSnapshot snapshot_;
    std::optional<Error> lost_;
    bool open_ = false;
    OdbcColumnRules columnRules_;
    bool countsSelectedRows_ = false;
    bool readsBlocks_ = false;
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
