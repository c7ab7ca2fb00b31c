#pragma once

#include <cstdint>
#include <limits>
#include <optional>
#include <vector>

#include "db/Database.h"
#include "db/LayerErrors.h"
#include "db/ResultField.h"

namespace brivano::db {

// What every provider's result has in common: it reads forward only, stands
// on its first row after the query (or at its end when there is none), its
// operations fail with the layer's own errors once its connection is
// closed, or when asked for a row it no longer has, and it keeps the values
// of the current row: each is read the first time it is asked for, and a
// value that failed fails again, alike, without another read.
//
// `Derived` supplies:
//   bool connectionOpen() const   whether the result's connection still is;
//   void advance()                steps to the next row, calling endReached()
//                                 after the last one;
//   std::int64_t countRemainingRows()
//                                 the rows from the current one to the end,
//                                 leaving the result at its end;
//   void readValue(int position, Value& value)
//                                 reads a column of the current row, or
//                                 throws Error;
// and column(position) (with .name and .shape) for its fields.
template <typename Derived>
class ForwardResultSet : public ResultSet {
  public:
    bool atEnd() override {
        checkOpen();
        return atEnd_;
    }

    RowArrayBounds readAllRows() override {
        checkOpen();
        const std::int64_t rows = atEnd_ ? 0 : self().countRemainingRows();
        onFirstRow_ = false;
        if (rows > std::numeric_limits<std::int32_t>::max())
            throw tooManyRowsError();
        return {fields_.count(), static_cast<std::int32_t>(rows)};
    }

    void moveFirst() override {
        checkCurrentRow();
        if (!onFirstRow_)
            throw cannotMoveBackError();
    }

    void moveNext() override {
        checkCurrentRow();
        onFirstRow_ = false;
        ++row_;
        self().advance();
    }

    int fieldCount() override {
        checkOpen();
        return fields_.count();
    }

    Field& field(int position) override {
        checkOpen();
        return fields_.at(position);
    }

    Field& field(const QString& name) override {
        checkOpen();
        return fields_.named(name);
    }

    // The value of a column in the current row (the fields' way to it).
    const Value& valueAt(int position) {
        checkCurrentRow();
        Cell& cell = cells_[static_cast<size_t>(position)];
        if (cell.row != row_)
            read(position, cell);
        if (cell.failure)
            throw *cell.failure;
        return cell.value;
    }

  protected:
    // One field per column (each with a .name), in position order.
    template <typename Columns>
    void buildFields(const Columns& columns) {
        fields_.build(self(), columns);
        cells_.resize(columns.size());
    }

    // Reads a column of the current row now, unless it was read already:
    // for a provider that can only read a row's columns in order.
    void readAhead(int position) {
        Cell& cell = cells_[static_cast<size_t>(position)];
        if (cell.row != row_)
            read(position, cell);
    }

    void checkOpen() const {
        if (!self().connectionOpen())
            throw resultSetClosedError();
    }
    void checkCurrentRow() const {
        checkOpen();
        if (atEnd_)
            throw noCurrentRowError();
    }

    void endReached() { atEnd_ = true; }
    bool isAtEnd() const { return atEnd_; }
    bool isOnFirstRow() const { return onFirstRow_; }

  private:
    struct Cell {
        Value value;
        std::uint64_t row = 0;  // the row it was read in
        std::optional<Error> failure;
    };

    void read(int position, Cell& cell) {
        cell.row = row_;
        try {
            self().readValue(position, cell.value);
            cell.failure.reset();
        } catch (const Error& error) {
            cell.value.kind = ValueKind::Null;
            cell.failure = error;
        }
    }

    Derived& self() { return static_cast<Derived&>(*this); }
    const Derived& self() const { return static_cast<const Derived&>(*this); }

    ResultFields<Derived> fields_;
    std::vector<Cell> cells_;
    std::uint64_t row_ = 1;  // counts the rows stood on
    bool atEnd_ = false;
    bool onFirstRow_ = true;
};

}  // namespace brivano::db
