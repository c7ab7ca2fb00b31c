#pragma once

#include <QString>
#include <cstdint>
#include <functional>
#include <memory>

#include "db/Error.h"
#include "db/Value.h"

namespace brivano::db {

// One column of a result set. Its metadata is fixed for the result set's
// life; isNull() and value() speak of the current row and stay valid until
// the result set moves.
class Field {
  public:
    virtual ~Field() = default;
    virtual QString name() const = 0;
    virtual std::int16_t type() const = 0;  // AdoType
    virtual std::int32_t definedSize() const = 0;
    virtual std::int32_t attributes() const = 0;  // AdoFieldAttribute bits
    virtual bool isNull() = 0;
    virtual const Value& value() = 0;
};

// Dimensions that reading all rows returns: upper bounds are count - 1.
struct RowArrayBounds {
    std::int32_t columns = 0;
    std::int32_t rows = 0;
};

// A forward-only, read-only result of one query. After the query it stands
// on its first row, or at its end when there is none.
class ResultSet {
  public:
    virtual ~ResultSet() = default;
    virtual bool atEnd() = 0;
    // Consumes the rest of the result and returns its dimensions, without
    // keeping any value: memory stays flat whatever the table's size.
    virtual RowArrayBounds readAllRows() = 0;
    // The result is forward-only: moving to the first row is valid only
    // while it still stands there (as it does right after the query).
    virtual void moveFirst() = 0;
    virtual void moveNext() = 0;
    virtual int fieldCount() = 0;
    virtual Field& field(int position) = 0;
    virtual Field& field(const QString& name) = 0;
};

// A database connection, opened for reading only. Every operation either
// succeeds or throws Error: for a failure the database reported, with its
// SQLSTATE, native code and message; for one of the layer's own (an
// operation on a closed connection), with the layer's number.
class Connection {
  public:
    virtual ~Connection() = default;
    virtual void open(const QString& connectionString) = 0;
    // Runs a query; the result stands on its first row. Any result set
    // obtained earlier from this connection may be invalidated.
    virtual std::unique_ptr<ResultSet> execute(const QString& commandText) = 0;
    // Closes the connection, ending any snapshot it still holds.
    virtual void close() = 0;
    virtual bool isOpen() const = 0;

    // The two readings of one table (its count and its rows) are made
    // between these two calls, so that a database that can show them one
    // read-only snapshot does, and the count is the number of rows read.
    // The provider decides how far a snapshot reaches: the whole run where
    // readers do not hold writers off, a single table where they would. A
    // database without snapshots reads as it is. `completed` is false when
    // a reading of the table failed: the provider then makes sure that the
    // failure does not spoil the tables that follow. Neither call fails
    // for want of snapshots; both throw when the connection is lost.
    virtual void beginTableRead() {}
    virtual void endTableRead(bool completed) { (void)completed; }

    // Asks the statement under way to stop as soon as it can; it then fails
    // with the database's error. Safe to call from another thread while
    // this one waits in the database, and harmless when nothing runs.
    virtual void cancel() noexcept {}

    // Given before open(): a provider that waits on a server asks it while
    // it waits, and fails the operation with stoppedError() when it says
    // stop (see NetworkWait.h). Providers that cannot wait so ignore it.
    virtual void setStopCheck(std::function<bool()> stopRequested) { (void)stopRequested; }
};

}  // namespace brivano::db
