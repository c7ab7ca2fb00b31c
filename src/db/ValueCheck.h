#pragma once

#include <QString>
#include <QStringView>
#include <cstdint>

#include "db/Error.h"

namespace brivano::db {

// True for the text of an exact number as databases give it: an optional
// sign, digits with at most one '.', an optional exponent; or one of the
// words NaN, Infinity and -Infinity.
bool isDecimalText(QStringView text);

// The error for a stored value that does not fit its column's type (SQLite
// keeps any value in any column). It is the data that is wrong, so it goes
// into the connection's error list like any error of the database.
Error invalidValueError(const QString& column, QStringView stored, std::int16_t type);

}  // namespace brivano::db
