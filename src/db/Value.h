#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>

namespace brivano::db {

// What a fetched value is, so the export can choose its text form.
enum class ValueKind : std::uint8_t {
    Null,
    Text,       // text: the characters as stored
    Integer,    // integer: signed 64-bit
    Unsigned,   // unsignedInteger: unsigned 64-bit
    Single,     // real, holding a 32-bit float
    Double,     // real
    Decimal,    // text: exact digits from the database, '.' as separator, optional '-'
    Boolean,    // boolean
    Date,       // date
    Time,       // time
    Timestamp,  // date and time (fraction kept in nanoseconds)
    Binary,     // bytes
    Guid,       // bytes: 16 bytes in display order (the order of the {8-4-4-4-12} text)
    Other,      // text: the database's own text for a type the layer does not know
};

struct DateValue {
    int year = 0;
    int month = 0;
    int day = 0;
};

struct TimeValue {
    int hour = 0;
    int minute = 0;
    int second = 0;
    std::uint32_t nanosecond = 0;
};

// One value of the current row. Providers reuse one Value per column, so the
// text and byte buffers keep their capacity from row to row.
struct Value {
    ValueKind kind = ValueKind::Null;
    std::int64_t integer = 0;
    std::uint64_t unsignedInteger = 0;
    double real = 0;
    bool boolean = false;
    DateValue date;
    TimeValue time;
    QString text;
    QByteArray bytes;

    bool isNull() const { return kind == ValueKind::Null; }
};

}  // namespace brivano::db
