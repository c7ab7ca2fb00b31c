#include "db/mariadb/MariaDbValueReader.h"

#include "db/ValueCheck.h"
#include "db/mariadb/MariaDbTemporal.h"

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

}  // namespace brivano::db
