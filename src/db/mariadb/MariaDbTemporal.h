#pragma once

#include <mysql.h>

#include <QByteArray>

namespace brivano::db {

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
