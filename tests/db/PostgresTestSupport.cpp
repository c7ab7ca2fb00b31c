#include "PostgresTestSupport.h"

#include <QCoreApplication>
#include <cmath>

#include "DatabaseCases.h"

namespace brivano::test {

void PostgresTest::SetUp() {
    for (const TestDatabase& database : testDatabases()) {
        if (database.name == u"PostgreSQL")
            odbc_ = database;
        else if (database.name == u"PostgreSQLNative")
            native_ = database;
    }
    if (odbc_.connectionString.isEmpty() || native_.connectionString.isEmpty()) {
        if (serversRequired())
            FAIL() << "PostgreSQL is required but not available: "
                   << odbc_.missingReason.toStdString();
        GTEST_SKIP() << "PostgreSQL is not available: " << odbc_.missingReason.toStdString();
    }
}

void PostgresTest::TearDown() {
    // Views before the tables they read, types after the tables using them.
    for (auto it = objects_.crbegin(); it != objects_.crend(); ++it)
        drop(it->first, it->second);
}

void PostgresTest::runSetup(const QStringList& statements) const {
    runStatements(odbc_.setupConnectionString, statements);
}

QString PostgresTest::objectName(const QString& stem, const QString& kind) {
    const QString name = QStringLiteral("%1_%2").arg(stem).arg(QCoreApplication::applicationPid());
    drop(kind, name);
    objects_.append({kind, name});
    return name;
}

void PostgresTest::drop(const QString& kind, const QString& name) const {
    runSetup({QStringLiteral("DROP %1 IF EXISTS %2 CASCADE").arg(kind, name)});
}

QString exactValue(const db::Value& value) {
    switch (value.kind) {
        case db::ValueKind::Single:
            return QStringLiteral("Single:") +
                   QString::number(static_cast<float>(value.real), 'g', 9) +
                   (std::signbit(value.real) ? QStringLiteral(" (negative)") : QString());
        case db::ValueKind::Double:
            return QStringLiteral("Double:") + QString::number(value.real, 'g', 17) +
                   (std::signbit(value.real) ? QStringLiteral(" (negative)") : QString());
        case db::ValueKind::Time:
            return describeValue(value) + QStringLiteral(" +%1ns").arg(value.time.nanosecond);
        default:
            return describeValue(value);
    }
}

namespace {

// One column of the table of every type: its type and up to three values.
struct TypeCase {
    const char* type;
    std::vector<const char*> values;  // SQL literals, row by row; NULL for the rest
};

// "mood" stands for an enum type of the test's own.
std::vector<TypeCase> typeCases() {
    return {
        {"smallint", {"-300", "32767"}},
        {"integer", {"70000", "-2147483648"}},
        {"bigint", {"9000000000", "-9223372036854775808"}},
        {"numeric", {"12.2500", "'NaN'", "-0.000123"}},
        {"numeric", {"1e30", "'Infinity'", "'-Infinity'"}},
        {"numeric(12,3)", {"123456789.123", "0", "-1.5"}},
        {"numeric(30,10)", {"-12345678901234567890.0123456789", "0.0000000001"}},
        {"real", {"1.2345679", "'NaN'", "3.4e38"}},
        {"real", {"1e-40", "16777217", "-0.0"}},
        {"double precision", {"0.1", "'-Infinity'", "1e-300"}},
        {"double precision", {"1.7976931348623157e308", "-0.0", "123456789012345678"}},
        {"boolean", {"true", "false"}},
        {"bit(3)", {"B'101'"}},
        {"bit(5)", {"B'10101'", "B'00000'", "B'00001'"}},
        {"bit(20)", {"B'10101010101010101010'"}},
        {"varbit", {"B'10110'", "B''"}},
        {"varbit(5)", {"B'1'"}},
        {"char(6)", {"'ab'", "''", "'Perché'"}},
        {"char", {"'x'"}},
        {"char(300)", {"'long'"}},
        {"varchar(30)", {"'Perché città €'", "''"}},
        {"varchar", {"'x y'", "repeat('z', 300)"}},
        {"varchar(300)", {"'v'"}},
        {"text", {"E'line1\\r\\nline2 \"q\", ''a'''", "''", "'Perché città €'"}},
        {"name", {"'nm'"}},
        {"\"char\"", {"'q'"}},
        {"bytea", {"'\\x0102ff'", "''"}},
        {"date", {"'2024-01-02'", "'0001-01-01'", "'9999-12-31'"}},
        {"time", {"'10:11:12.345678'", "'00:00:00'", "'23:59:59.999999'"}},
        {"time(0)", {"'10:11:12'"}},
        {"timetz", {"'10:11:12.5+02'"}},
        {"timetz(3)", {"'10:11:12.123456+05:30'"}},
        {"timestamp", {"'2024-01-02 03:04:05.123456'", "'1999-12-31 23:59:59'"}},
        {"timestamp(0)", {"'0001-01-01 00:00:00'", "'9999-12-31 23:59:59'"}},
        {"timestamptz", {"'2024-01-02 03:04:05.5+01'", "'1970-01-01 00:00:00+00'"}},
        {"interval", {"'1 year 2 mons 3 days 04:05:06.7'", "'-5 seconds'"}},
        {"interval(3)", {"'1.23456 seconds'"}},
        {"interval year to month", {"'3 years'"}},
        {"interval day to second(2)", {"'1 day 00:00:01.5'"}},
        {"uuid", {"'a0eebc99-9c0b-4ef8-bb6d-6bb9bd380a11'"}},
        {"json", {"'{\"a\": [1, 2]}'"}},
        {"jsonb", {"'{\"b\": 1, \"a\": [1,2]}'", "'\"Perché\"'"}},
        {"xml", {"'<a>x</a>'"}},
        {"mood", {"'happy'", "'sad'"}},
        {"inet", {"'192.168.1.5/24'", "'10.0.0.1'"}},
        {"cidr", {"'10.0.0.0/8'"}},
        {"macaddr", {"'08:00:2b:01:02:03'"}},
        {"oid", {"4294967295", "0"}},
        {"integer[]", {"'{1,2,NULL}'"}},
        {"text[]", {"'{\"a b\",\"c,d\",NULL}'"}},
        {"double precision[]", {"'{0.1,1e-300}'"}},
        {"date[]", {"'{2024-01-02}'"}},
        {"point", {"'(1.5,2)'"}},
        {"int4range", {"'[1,5)'"}},
        {"integer not null", {"1", "2", "3"}},
    };
}

}  // namespace

QString PostgresTest::everyTypeTable() {
    const QString mood = objectName(QStringLiteral("mood"), QStringLiteral("TYPE"));
    const QString table = objectName(QStringLiteral("every_type"));
    const std::vector<TypeCase> cases = typeCases();
    QStringList declarations;
    QStringList rows[3];
    for (size_t k = 0; k < cases.size(); ++k) {
        const QString type = QString::fromUtf8(cases[k].type);
        declarations << QStringLiteral("c%1 %2").arg(k).arg(type == u"mood" ? mood : type);
        for (size_t row = 0; row < 3; ++row) {
            rows[row] << QString::fromUtf8(row < cases[k].values.size() ? cases[k].values[row]
                                                                        : "NULL");
        }
    }
    QStringList setup{QStringLiteral("CREATE TYPE %1 AS ENUM ('sad', 'ok', 'happy')").arg(mood),
                      QStringLiteral("CREATE TABLE %1 (%2)").arg(table, declarations.join(u", "))};
    for (const QStringList& row : rows)
        setup << QStringLiteral("INSERT INTO %1 VALUES (%2)").arg(table, row.join(u", "));
    runSetup(setup);
    return table;
}

}  // namespace brivano::test
