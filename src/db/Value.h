#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <cstdint>

namespace brivano::db {

// What a fetched value is, so the export can choose its text form.
enum class ValueKind : std::uint8_t {
    Null,
    Text,       // data: the characters as stored
    Integer,    // integer: signed 64-bit
    Unsigned,   // unsignedInteger: unsigned 64-bit
    Single,     // real, holding a 32-bit float
    Double,     // real
    Decimal,    // data: exact digits from the database, '.' as separator, optional '-'
    Boolean,    // boolean
    Date,       // date
    Time,       // time
    Timestamp,  // date and time (fraction kept in nanoseconds)
    Binary,     // data: the bytes
    Guid,       // data: 16 bytes in display order (the order of the {8-4-4-4-12} text)
    Other,      // data: the database's own text for a type the layer does not know
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

// One value of the current row. Providers reuse one Value per column, so
// their buffers keep their capacity from row to row.
struct Value {
    ValueKind kind = ValueKind::Null;
    std::int64_t integer = 0;
    std::uint64_t unsignedInteger = 0;
    double real = 0;
    bool boolean = false;
    DateValue date;
    TimeValue time;
    // Text and Other: the characters, in UTF-8 (bytes that are not UTF-8
    // are taken as Latin-1). Decimal: ASCII digits with '.' as separator
    // and an optional sign. Binary and Guid: the bytes. It points into
    // storage that the provider keeps until its result set moves on:
    // often `buffer`, sometimes the driver's or the library's own.
    QByteArrayView data;
    // A provider's copy of the value, when it has to make one.
    QByteArray buffer;

    bool isNull() const { return kind == ValueKind::Null; }
    // Points `data` at `buffer`, once `buffer` holds the value.
    void keepBuffer() { data = buffer; }
    // The characters of a text value, for messages and tests.
    QString text() const { return QString::fromUtf8(data); }
};

}  // namespace brivano::db
