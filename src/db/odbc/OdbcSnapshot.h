#pragma once

#include <QStringView>
#include <optional>

#include "db/Error.h"
#include "db/odbc/OdbcApi.h"

namespace brivano::db {

// The database behind an ODBC connection, as far as its habits matter.
enum class OdbcDbms { Other, Sqlite, PostgreSQL, MariaDB };

// Read-only work and read snapshots on one ODBC connection. The session is
// made read-only where the database allows it; the two readings of a table
// are then read in one snapshot: PostgreSQL (REPEATABLE READ) and MariaDB
// (InnoDB's consistent read) keep one for the whole run, as readers hold no
// writer off there, with a savepoint per table on PostgreSQL so that a
// failed table does not abort the run's transaction; SQLite keeps one for
// the run in WAL mode and one per table in rollback-journal mode, where a
// long read would keep writers out. A database without any of this reads
// as it is: nothing here fails for want of snapshots.
class OdbcSnapshot {
  public:
    void setUp(SQLHDBC connection, OdbcDbms dbms);
    // Throws Error only when the connection itself failed.
    void beginTable();
    // Never throws: a failure here ends the transaction, which at worst
    // ends the run's snapshot early.
    void endTable(bool completed) noexcept;
    // Ends any transaction before the connection goes.
    void end() noexcept;

  private:
    enum class Scope { None, Run, Table };

    // Runs one statement; nothing when it succeeded, else its error.
    std::optional<Error> run(QStringView statement) const;
    std::optional<QString> queryText(QStringView statement) const;
    void endTransaction() noexcept;

    SQLHDBC connection_ = SQL_NULL_HDBC;
    OdbcDbms dbms_ = OdbcDbms::Other;
    Scope scope_ = Scope::None;
    bool inTransaction_ = false;
};

}  // namespace brivano::db
