#pragma once

#include <cstdint>
#include <limits>

#include "db/Database.h"
#include "db/LayerErrors.h"
#include "db/ResultField.h"

namespace brivano::db {

// What every provider's result has in common: it reads forward only, stands
// on its first row after the query (or at its end when there is none), and
// its operations fail with the layer's own errors once its connection is
// closed, or when asked for a row it no longer has.
//
// `Derived` supplies:
//   bool connectionOpen() const   whether the result's connection still is;
//   void advance()                steps to the next row, calling endReached()
//                                 after the last one;
//   std::int64_t countRemainingRows()
//                                 the rows from the current one to the end,
//                                 leaving the result at its end;
// and column(position) / valueAt(position) for its fields (ResultField).
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

  protected:
    // One field per column (each with a .name), in position order.
    template <typename Columns>
    void buildFields(const Columns& columns) {
        fields_.build(self(), columns);
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
    Derived& self() { return static_cast<Derived&>(*this); }
    const Derived& self() const { return static_cast<const Derived&>(*this); }

    ResultFields<Derived> fields_;
    bool atEnd_ = false;
    bool onFirstRow_ = true;
};

}  // namespace brivano::db
