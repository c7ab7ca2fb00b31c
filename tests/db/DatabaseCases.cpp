#include "DatabaseCases.h"

#include "db/AdoTypes.h"

namespace brivano::test {

namespace {

using db::kUnboundedSize;

// Attribute bits of the tables: fixed, nullable (0x20|0x40), long, and the
// writability the driver reports (SQLite and PostgreSQL: writable 0x4;
// MariaDB: unknown 0x8).
constexpr std::int32_t kFixed = 0x10;
constexpr std::int32_t kNullable = 0x60;
constexpr std::int32_t kLong = 0x80;
constexpr std::int32_t kWritable = 0x4;
constexpr std::int32_t kUnknownWritable = 0x8;

std::vector<ColumnCase> sqliteCases() {
    constexpr std::int32_t w = kWritable;
    return {
        {"c_char char(6) not null", "'ab'", 129, 6, kFixed | w, "Text:ab"},
        {"c_nchar nchar(40)", "'Perché città €'", 130, 40, kFixed | kNullable | w,
         "Text:Perché città €"},
        {"c_varchar varchar(30)", "'x y'", 200, 30, kNullable | w, "Text:x y"},
        {"c_nvarchar nvarchar(20)", "'è'", 202, 20, kNullable | w, "Text:è"},
        {"c_text text", "'long'", 201, kUnboundedSize, kLong | kNullable | w, "Text:long"},
        {"c_numeric numeric(10,2)", "12.25", 131, 19, kFixed | kNullable | w, "Decimal:12.25"},
        {"c_tinyint tinyint", "-5", 16, 1, kFixed | kNullable | w, "Integer:-5"},
        {"c_smallint smallint", "300", 2, 2, kFixed | kNullable | w, "Integer:300"},
        {"c_integer integer", "70000", 3, 4, kFixed | kNullable | w, "Integer:70000"},
        {"c_bigint bigint", "9000000000", 20, 8, kFixed | kNullable | w, "Integer:9000000000"},
        {"c_unsigned int unsigned", "7", 19, 4, kFixed | kNullable | w, "Unsigned:7"},
        // SQLite keeps every real in 8 bytes.
        {"c_real real", "1.5", 5, 8, kFixed | kNullable | w, "Double:1.5"},
        {"c_double double", "2.25", 5, 8, kFixed | kNullable | w, "Double:2.25"},
        {"c_bit boolean", "1", 11, 2, kFixed | kNullable | w, "Boolean:true"},
        {"c_date date", "'2024-01-02'", 133, 6, kFixed | kNullable | w, "Date:2024-01-02"},
        {"c_time time", "'10:11:12'", 134, 6, kFixed | kNullable | w, "Time:10:11:12"},
        {"c_timestamp datetime", "'2024-01-02 03:04:05.123'", 135, 16, kFixed | kNullable | w,
         "Timestamp:2024-01-02 03:04:05.123000000"},
        {"c_binary binary(4)", "x'01020304'", 128, 4, kFixed | kNullable | w, "Binary:01020304"},
        {"c_varbinary varbinary(8)", "x'ff00'", 204, 8, kNullable | w, "Binary:ff00"},
        {"c_blob blob", "x'0102'", 205, kUnboundedSize, kLong | kNullable | w, "Binary:0102"},
        // No declared type: the driver's own description decides.
        {"c_untyped", "'any'", 200, 255, kNullable | w, "Text:any"},
    };
}

std::vector<ColumnCase> postgresCases() {
    constexpr std::int32_t w = kWritable;
    return {
        // The driver reports char and varchar as wide; char keeps its blanks.
        {"c_char char(6) not null", "'ab'", 130, 6, kFixed | w, "Text:ab    "},
        {"c_varchar varchar(30)", "'Perché città €'", 202, 30, kNullable | w,
         "Text:Perché città €"},
        {"c_text text", "'long'", 203, 8190, kLong | kNullable | w, "Text:long"},
        {"c_numeric numeric(10,2)", "12.25", 131, 19, kFixed | kNullable | w, "Decimal:12.25"},
        {"c_smallint smallint", "-300", 2, 2, kFixed | kNullable | w, "Integer:-300"},
        {"c_integer integer", "70000", 3, 4, kFixed | kNullable | w, "Integer:70000"},
        {"c_bigint bigint", "9000000000", 20, 8, kFixed | kNullable | w, "Integer:9000000000"},
        {"c_real real", "1.5", 4, 4, kFixed | kNullable | w, "Single:1.5"},
        {"c_double double precision", "2.25", 5, 8, kFixed | kNullable | w, "Double:2.25"},
        {"c_date date", "'2024-01-02'", 133, 6, kFixed | kNullable | w, "Date:2024-01-02"},
        {"c_time time", "'10:11:12'", 134, 6, kFixed | kNullable | w, "Time:10:11:12"},
        {"c_timestamp timestamp(3)", "'2024-01-02 03:04:05.123'", 135, 16, kFixed | kNullable | w,
         "Timestamp:2024-01-02 03:04:05.123000000"},
        {"c_bytea bytea", "'\\x0102'", 205, kUnboundedSize, kLong | kNullable | w, "Binary:0102"},
        {"c_uuid uuid", "'a0eebc99-9c0b-4ef8-bb6d-6bb9bd380a11'", 72, 16, kFixed | kNullable | w,
         "Guid:a0eebc999c0b4ef8bb6d6bb9bd380a11"},
    };
}

std::vector<ColumnCase> mariadbCases() {
    constexpr std::int32_t u = kUnknownWritable;
    return {
        {"c_char char(6) not null", "'ab'", 130, 6, kFixed | u, "Text:ab"},
        {"c_varchar varchar(30)", "'Perché città €'", 202, 30, kNullable | u,
         "Text:Perché città €"},
        {"c_text text", "'long'", 203, 65535, kLong | kNullable | u, "Text:long"},
        {"c_numeric numeric(10,2)", "12.25", 131, 19, kFixed | kNullable | u, "Decimal:12.25"},
        {"c_tinyint tinyint", "-5", 16, 1, kFixed | kNullable | u, "Integer:-5"},
        {"c_smallint smallint", "300", 2, 2, kFixed | kNullable | u, "Integer:300"},
        {"c_integer int", "70000", 3, 4, kFixed | kNullable | u, "Integer:70000"},
        {"c_bigint bigint", "9000000000", 20, 8, kFixed | kNullable | u, "Integer:9000000000"},
        {"c_uint int unsigned", "4000000000", 19, 4, kFixed | kNullable | u, "Unsigned:4000000000"},
        {"c_ubigint bigint unsigned", "18000000000000000000", 21, 8, kFixed | kNullable | u,
         "Unsigned:18000000000000000000"},
        {"c_float float", "1.5", 4, 4, kFixed | kNullable | u, "Single:1.5"},
        {"c_double double", "2.25", 5, 8, kFixed | kNullable | u, "Double:2.25"},
        {"c_bit bit(1)", "b'1'", 11, 2, kFixed | kNullable | u, "Boolean:true"},
        {"c_date date", "'2024-01-02'", 133, 6, kFixed | kNullable | u, "Date:2024-01-02"},
        {"c_time time", "'10:11:12'", 134, 6, kFixed | kNullable | u, "Time:10:11:12"},
        {"c_timestamp datetime(3)", "'2024-01-02 03:04:05.123'", 135, 16, kFixed | kNullable | u,
         "Timestamp:2024-01-02 03:04:05.123000000"},
        {"c_binary binary(4)", "x'01020304'", 128, 4, kFixed | kNullable | u, "Binary:01020304"},
        {"c_varbinary varbinary(8)", "x'ff00'", 204, 8, kNullable | u, "Binary:ff00"},
        {"c_blob blob", "x'0102'", 205, 65535, kLong | kNullable | u, "Binary:0102"},
    };
}

QString twoDigits(int number) {
    return QStringLiteral("%1").arg(number, 2, 10, QLatin1Char('0'));
}

QString dateText(const db::DateValue& date) {
    return QStringLiteral("%1-%2-%3")
        .arg(date.year, 4, 10, QLatin1Char('0'))
        .arg(twoDigits(date.month), twoDigits(date.day));
}

QString timeText(const db::TimeValue& time) {
    return twoDigits(time.hour) + u':' + twoDigits(time.minute) + u':' + twoDigits(time.second);
}

}  // namespace

std::vector<ColumnCase> columnCases(const TestDatabase& database) {
    // The built-in provider describes and reads as the driver does.
    if (database.name.startsWith(u"PostgreSQL")) {
        return postgresCases();
    }
    if (isMariaDb(database)) {
        return mariadbCases();
    }
    return sqliteCases();
}

QString Dialect::binaryLiteral(const QByteArray& bytes) const {
    const QString hex = QString::fromLatin1(bytes.toHex());
    return postgres ? QStringLiteral("decode('%1', 'hex')").arg(hex)
                    : QStringLiteral("x'%1'").arg(hex);
}

Dialect dialectOf(const TestDatabase& database) {
    if (database.name.startsWith(u"PostgreSQL")) {
        return {"text", "bytea", "varchar", true};
    }
    if (isMariaDb(database)) {
        return {"longtext", "longblob", "varchar(1000)", false};
    }
    return {"text", "blob", "varchar(10)", false};
}

QString describeValue(const db::Value& value) {
    using db::ValueKind;
    switch (value.kind) {
        case ValueKind::Null:
            return QStringLiteral("Null");
        case ValueKind::Text:
            return QStringLiteral("Text:") + value.text();
        case ValueKind::Other:
            return QStringLiteral("Other:") + value.text();
        case ValueKind::Decimal:
            return QStringLiteral("Decimal:") + value.text();
        case ValueKind::Integer:
            return QStringLiteral("Integer:%1").arg(value.integer);
        case ValueKind::Unsigned:
            return QStringLiteral("Unsigned:%1").arg(value.unsignedInteger);
        case ValueKind::Single:
            return QStringLiteral("Single:%1").arg(value.real);
        case ValueKind::Double:
            return QStringLiteral("Double:%1").arg(value.real);
        case ValueKind::Boolean:
            return value.boolean ? QStringLiteral("Boolean:true") : QStringLiteral("Boolean:false");
        case ValueKind::Date:
            return QStringLiteral("Date:") + dateText(value.date);
        case ValueKind::Time:
            return QStringLiteral("Time:") + timeText(value.time);
        case ValueKind::Timestamp:
            return QStringLiteral("Timestamp:%1 %2.%3")
                .arg(dateText(value.date), timeText(value.time))
                .arg(value.time.nanosecond, 9, 10, QLatin1Char('0'));
        case ValueKind::Binary:
            return QStringLiteral("Binary:") +
                   QString::fromLatin1(value.data.toByteArray().toHex());
        case ValueKind::Guid:
            return QStringLiteral("Guid:") + QString::fromLatin1(value.data.toByteArray().toHex());
    }
    return QStringLiteral("?");
}

}  // namespace brivano::test
