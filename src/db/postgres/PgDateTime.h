#pragma once

#include <QByteArray>
#include <cstdint>

#include "db/Value.h"

namespace brivano::db {

// Dates and times in the server's binary form: days, or microseconds, from
// 2000-01-01 (a time: from midnight). Only a calendar date of the years 1
// to 9999 and a time of day before 24:00 can be handed over; for any other
// value (infinity, a BC date, 24:00:00) the text functions give the value
// as the server writes it, for the message that rejects it.
struct PgTimestamp {
    DateValue date;
    TimeValue time;
};

// The calendar date of a day number (proleptic Gregorian; year 0 is 1 BC).
DateValue pgDate(std::int64_t days);
PgTimestamp pgTimestamp(std::int64_t microseconds);
TimeValue pgTime(std::int64_t microseconds);

bool isHandedOverDate(std::int32_t days, DateValue& date);
bool isHandedOverTime(std::int64_t microseconds);
bool isHandedOverTimestamp(std::int64_t microseconds, PgTimestamp& stamp);

QByteArray pgDateText(std::int32_t days);
QByteArray pgTimeText(std::int64_t microseconds);
QByteArray pgTimestampText(std::int64_t microseconds);

}  // namespace brivano::db
