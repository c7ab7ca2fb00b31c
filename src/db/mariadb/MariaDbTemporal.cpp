#include "db/mariadb/MariaDbTemporal.h"

namespace brivano::db {

namespace {

constexpr unsigned int kMonths = 12;
constexpr unsigned int kMaxFractionDigits = 6;
constexpr unsigned int kHoursPerDay = 24;

bool isLeapYear(unsigned int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

unsigned int daysInMonth(unsigned int year, unsigned int month) {
    static constexpr unsigned int kDays[kMonths] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && isLeapYear(year) ? 29 : kDays[month - 1];
}

// The hours of a TIME value: the library may give whole days apart.
unsigned long totalHours(const MYSQL_TIME& time) {
    return static_cast<unsigned long>(time.day) * kHoursPerDay + time.hour;
}

void appendPadded(QByteArray& out, unsigned long number, int width) {
    out += QByteArray::number(static_cast<qulonglong>(number)).rightJustified(width, '0');
}

void appendClock(QByteArray& out, unsigned long hours, const MYSQL_TIME& time,
                 unsigned int decimals) {
    appendPadded(out, hours, 2);
    out += ':';
    appendPadded(out, time.minute, 2);
    out += ':';
    appendPadded(out, time.second, 2);
    // Expressions report 31 digits (not fixed): the fraction shows when set.
    if (decimals > kMaxFractionDigits)
        decimals = time.second_part != 0 ? kMaxFractionDigits : 0;
    if (decimals > 0) {
        QByteArray fraction;
        appendPadded(fraction, time.second_part, static_cast<int>(kMaxFractionDigits));
        out += '.';
        out += fraction.left(decimals);
    }
}

}  // namespace

bool isCalendarDay(const MYSQL_TIME& time) {
    return time.month >= 1 && time.month <= kMonths && time.day >= 1 &&
           time.day <= daysInMonth(time.year, time.month);
}

bool isTimeOfDay(const MYSQL_TIME& time) {
    return !time.neg && totalHours(time) < kHoursPerDay;
}

QByteArray mariaDbTemporalText(const MYSQL_TIME& time, enum_field_types type,
                               unsigned int decimals) {
    QByteArray text;
    if (type == MYSQL_TYPE_TIME) {
        if (time.neg)
            text += '-';
        appendClock(text, totalHours(time), time, decimals);
        return text;
    }
    appendPadded(text, time.year, 4);
    text += '-';
    appendPadded(text, time.month, 2);
    text += '-';
    appendPadded(text, time.day, 2);
    if (type != MYSQL_TYPE_DATE && type != MYSQL_TYPE_NEWDATE) {
        text += ' ';
        appendClock(text, time.hour, time, decimals);
    }
    return text;
}

}  // namespace brivano::db
