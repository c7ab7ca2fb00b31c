#pragma once

#include <QString>
#include <cstdint>
#include <memory>
#include <vector>

#include "db/Error.h"
#include "db/LayerErrors.h"
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

// The errors that the database reported for the connection's last
// operation. Errors that the layer raises on its own never land here.
class ErrorList {
  public:
    void refresh() {}  // the list is kept current by every operation
    int count() const { return static_cast<int>(entries_.size()); }
    const Error& item(int index) const {
        if (index < 0 || index >= count()) {
            throw errorPositionError(index, count());
        }
        return entries_[static_cast<size_t>(index)];
    }
    QString description(int index) const { return item(index).description(); }

    void clear() { entries_.clear(); }
    void add(Error error) { entries_.push_back(std::move(error)); }

  private:
    std::vector<Error> entries_;
};

// A database connection. Every operation either succeeds or throws Error;
// an operation on a closed connection throws without touching errors().
class Connection {
  public:
    virtual ~Connection() = default;
    virtual void open(const QString& connectionString, const QString& user,
                      const QString& password) = 0;
    // Runs a query; the result stands on its first row. Any result set
    // obtained earlier from this connection may be invalidated.
    virtual std::unique_ptr<ResultSet> execute(const QString& commandText) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    virtual ErrorList& errors() = 0;
};

}  // namespace brivano::db
