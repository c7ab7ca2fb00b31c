#pragma once

#include <QByteArrayView>
#include <QString>
#include <cstdint>

#include "db/Error.h"

namespace brivano::db {

// True for the text of an exact number as databases give it: an optional
// sign, digits with at most one '.', an optional exponent. NaN and the
// infinities are no exact number, and the export file has no place for
// them in a decimal column: their column's entry is left empty, reported.
bool isDecimalText(QByteArrayView text);

// The error for a stored value that does not fit its column's type (SQLite
// keeps any value in any column). It is the data that is wrong, so it goes
// into the connection's error list like any error of the database.
// `stored` is the value as the database gave it: UTF-8, or Latin-1 when it
// is not.
Error invalidValueError(const QString& column, QByteArrayView stored, std::int16_t type);

}  // namespace brivano::db
