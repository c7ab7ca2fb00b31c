#pragma once

#include <QByteArrayView>
#include <optional>

#include "db/Value.h"

namespace brivano::db {

// Which text forms a reader takes. SQLite keeps "YYYY-MM-DD",
// "HH:MM[:SS[.fraction]]", and both joined by a blank or a 'T', optionally
// ending in 'Z'. A server's text form (PostgreSQL, MariaDB) may also end in
// the offset of its session's time zone ("+01", "-05:30"), which the value
// is already shown in: the offset is dropped, as the drivers drop it.
enum class DateTimeForm { Stored, Server };

// Each reader takes the part it needs from the full form too, and gives
// nothing for text that is not a real calendar value: an impossible day
// (2024-02-30), a year outside 1-9999 (and so infinity or BC), 24:00:00 and
// MariaDB's zero dates all give nothing.
std::optional<DateValue> parseIsoDate(QByteArrayView text,
                                      DateTimeForm form = DateTimeForm::Stored);
std::optional<TimeValue> parseIsoTime(QByteArrayView text,
                                      DateTimeForm form = DateTimeForm::Stored);
// A date alone stands for its midnight.
std::optional<std::pair<DateValue, TimeValue>> parseIsoTimestamp(
    QByteArrayView text, DateTimeForm form = DateTimeForm::Stored);

// True for a day that the calendar has, in the years 1 to 9999.
bool isCalendarDate(const DateValue& date);
// True for a time of day from 00:00:00 to 23:59:60 (a leap second).
bool isTimeOfDay(const TimeValue& time);

}  // namespace brivano::db
