#pragma once

#include <QByteArrayView>

#include "db/Value.h"
#include "db/postgres/PgColumn.h"

namespace brivano::db {

// Turns one field of a row, in the server's binary form, into a Value of its
// column's kind. Text and bytes are not copied: the Value points into the
// row, which the caller keeps until the result moves. A date or time that
// is no calendar value of the years 1 to 9999 (infinity, a BC date,
// 24:00:00) raises the invalid value error with the value as the server
// writes it; bytes that are not of the column's type raise an error of
// their own.
class PgValueDecoder {
  public:
    // The number of decimals of money amounts (the session's lc_monetary).
    explicit PgValueDecoder(int moneyScale) : moneyScale_(moneyScale) {}

    void decode(const PgColumn& column, QByteArrayView bytes, Value& value) const;

  private:
    bool decodeNumber(const PgColumn& column, QByteArrayView bytes, Value& value) const;
    bool decodeDecimal(const PgColumn& column, QByteArrayView bytes, Value& value) const;
    bool decodeText(const PgColumn& column, QByteArrayView bytes, Value& value) const;
    bool decodeTemporal(const PgColumn& column, QByteArrayView bytes, Value& value) const;

    int moneyScale_;
};

}  // namespace brivano::db
