#include "db/mariadb/MariaDbValueReader.h"

#include "db/ValueCheck.h"

namespace brivano::db {

namespace {

constexpr std::uint32_t kNanosecondsPerMicrosecond = 1000;

[[noreturn]] void rejectTemporal(const MariaDbColumn& column, const MYSQL_TIME& time) {
    throw invalidValueError(column.name,
                            mariaDbTemporalText(time, column.fieldType, column.decimals),
                            column.shape.type);
}

void readDate(const MariaDbColumn& column, const MYSQL_TIME& time, Value& value) {
    if (!isCalendarDay(time))
        rejectTemporal(column, time);
    value.date = {static_cast<int>(time.year), static_cast<int>(time.month),
                  static_cast<int>(time.day)};
}

void readClock(const MYSQL_TIME& time, std::uint32_t nanosecond, Value& value) {
    value.time = {static_cast<int>(time.hour), static_cast<int>(time.minute),
                  static_cast<int>(time.second), nanosecond};
}

bool anyBitSet(QByteArrayView bytes) {
    for (char byte : bytes) {
        if (byte != 0)
            return true;
    }
    return false;
}

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

void readMariaDbValue(const MariaDbColumn& column, const MariaDbSlot& slot, Value& value) {
    if (slot.isNull) {
        value.kind = ValueKind::Null;
        return;
    }
    const MYSQL_TIME& time = slot.fixed.time;
    switch (column.read) {
        case MariaDbRead::Integer:
            value.integer = slot.fixed.integer;
            value.unsignedInteger = static_cast<std::uint64_t>(slot.fixed.integer);
            break;
        case MariaDbRead::Single:
            value.real = slot.fixed.single;
            break;
        case MariaDbRead::Double:
            value.real = slot.fixed.real;
            break;
        case MariaDbRead::Bit:
            value.boolean = anyBitSet(slot.bytes());
            break;
        case MariaDbRead::Bytes:
            value.data = slot.bytes();
            // The server sends exact digits with '.'; anything else is no
            // decimal, and is reported as the ODBC path reports it.
            if (column.shape.kind == ValueKind::Decimal && !isDecimalText(value.data))
                throw invalidValueError(column.name, value.data, column.shape.type);
            break;
        case MariaDbRead::Date:
            readDate(column, time, value);
            break;
        case MariaDbRead::Time:
            if (!isTimeOfDay(time))
                rejectTemporal(column, time);
            // The ODBC time structure has no fraction: neither has this.
            readClock(time, 0, value);
            break;
        case MariaDbRead::Timestamp:
            readDate(column, time, value);
            readClock(time,
                      static_cast<std::uint32_t>(time.second_part) * kNanosecondsPerMicrosecond,
                      value);
            break;
    }
    value.kind = column.shape.kind;
}

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
