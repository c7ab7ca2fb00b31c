#pragma once

#include <mysql.h>
#include <QByteArray>
#include "db/Value.h"
#include "db/mariadb/MariaDbColumn.h"
#include "db/mariadb/MariaDbRowBuffers.h"

namespace brivano::db {

// Turns a fetched slot into a Value of its column's kind, as the ODBC path
// reads the same column: TIME without its fraction, timestamps to the
// microsecond. Text and bytes are not copied: the Value points into the
// slot, valid until the next fetch. A date or time that is not a real one
// (0000-00-00, a zero month or day, a TIME outside 00:00:00..23:59:59)
// raises the invalid value error, with the value as MariaDB writes it.
void readMariaDbValue(const MariaDbColumn& column, const MariaDbSlot& slot, Value& value);

// MariaDB keeps dates that no calendar has: 0000-00-00, a zero month or day
// (with sql_mode=''), 2024-02-31 (ALLOW_INVALID_DATES). A day is real when
// its month and day exist in its year; year 0 is the proleptic year 0.
bool isCalendarDay(const MYSQL_TIME& time);

// TIME values run from -838:59:59 to 838:59:59; a time of day is one of
// 00:00:00 to 23:59:59.
bool isTimeOfDay(const MYSQL_TIME& time);

// The value as MariaDB writes it ("0000-00-00 00:00:00", "-838:59:59"),
// with the column's digits of a second's fraction, for messages.
QByteArray mariaDbTemporalText(const MYSQL_TIME& time, enum_field_types type,
                               unsigned int decimals);

}  // namespace brivano::db
