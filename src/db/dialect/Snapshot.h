#pragma once

#include <QString>
#include <optional>

#include "db/dialect/Dialect.h"

namespace brivano::db {

// The read snapshot of one session, kept by its database's rules: the
// transaction that holds the two readings of a table (or every table of the
// run) in one view of the data. Only a lost connection makes it fail; any
// other refusal just leaves the session reading without a snapshot, as a
// database without any does.
class Snapshot {
  public:
    // The way to the database that the snapshot's statements take.
    class Path {
      public:
        virtual ~Path() = default;
        // Runs one statement that gives no rows; throws Error.
        virtual void run(const char* statement) = 0;
        // The first value of a query's first row, as text; nothing for no
        // row or a null. Throws Error.
        virtual std::optional<QString> value(const char* query) = 0;
        // The path's own way to open and end a transaction, where it has
        // one (an ODBC driver's manual commit); false when it has none.
        virtual bool beginTransaction() { return false; }
        virtual void endTransaction() {}
    };

    Snapshot(const Dialect& dialect, Path& path)
        : rules_(&dialect.snapshot), path_(path), scope_(rules_->scope) {}

    // Follows the rules of another database, once the path knows which one
    // it reaches (an ODBC driver's).
    void follow(const Dialect& dialect);
    // Once the session is set up: learns how far the snapshot reaches.
    void setUp();
    // No snapshot for this session: the database refused what it needs.
    void disable() { scope_ = SnapshotScope::None; }
    // Opens the table's snapshot, and the run's at its first table.
    void beginTable();
    // Closes the table's; `completed` is false when a reading of it failed,
    // and what the failure left of the transaction is mended. Throws only
    // for a connection lost after a table that was read in full.
    void endTable(bool completed);
    // Ends the transaction before the session goes; throws its failure.
    void finish();
    // Forgets the transaction of a session that is going without a word:
    // disconnecting ends it.
    void abandon() noexcept;

  private:
    // Runs a step; a refusal that is not a lost connection gives false.
    template <typename Step>
    bool attempt(Step&& step);
    void closeTable(bool completed);
    void endTransaction();

    const SnapshotRules* rules_;
    Path& path_;
    SnapshotScope scope_;
    bool inTransaction_ = false;
    bool ownTransaction_ = false;  // opened by the path's own way
};

}  // namespace brivano::db
