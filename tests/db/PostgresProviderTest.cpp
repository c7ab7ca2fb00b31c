// The built-in PostgreSQL provider stands in for the PostgreSQL ODBC driver:
// switching a connection string from one to the other must not change a
// column's type code, size or attributes, nor any value it hands over.
#include <QRegularExpression>

#include "PostgresTestSupport.h"
#include "db/AdoTypes.h"

namespace brivano::test {
namespace {

class PostgresProvider : public PostgresTest {};

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

// Everything a reader of one column sees: its name, type code, size and
// attributes, then each value, or the SQLSTATE of the error it raises.
QStringList readColumns(db::Connection& connection, const QString& command) {
    auto rs = connection.execute(command);
    const int count = rs->fieldCount();
    QStringList columns;
    for (int k = 0; k < count; ++k) {
        db::Field& field = rs->field(k);
        columns << QStringLiteral("%1 %2 %3 0x%4")
                       .arg(field.name())
                       .arg(field.type())
                       .arg(field.definedSize())
                       .arg(field.attributes(), 0, 16);
    }
    for (; !rs->atEnd(); rs->moveNext()) {
        for (int k = 0; k < count; ++k) {
            try {
                columns[k] += u'\n' + exactValue(rs->field(k).value());
            } catch (const Error& error) {
                columns[k] += QStringLiteral("\nerror %1").arg(error.sqlState());
            }
        }
    }
    return columns;
}

TEST_F(PostgresProvider, DescribesAndReadsEveryTypeAsTheOdbcDriverDoes) {
    const QString mood = objectName(QStringLiteral("mood"), QStringLiteral("TYPE"));
    const QString table = objectName(QStringLiteral("every_type"));
    const QString view = objectName(QStringLiteral("every_view"), QStringLiteral("VIEW"));
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
    QStringList setup{
        QStringLiteral("CREATE TYPE %1 AS ENUM ('sad', 'ok', 'happy')").arg(mood),
        QStringLiteral("CREATE TABLE %1 (%2)").arg(table, declarations.join(u", ")),
        QStringLiteral("CREATE VIEW %1 AS SELECT c1 + 1 AS expression, c23 AS text, 1 AS one, "
                       "c12 AS bits FROM %2")
            .arg(view, table)};
    for (const QStringList& row : rows)
        setup << QStringLiteral("INSERT INTO %1 VALUES (%2)").arg(table, row.join(u", "));
    runSetup(setup);

    auto odbc = openConnection(odbcString());
    auto native = openConnection(nativeString());
    for (const QString& command :
         {QStringLiteral("Select * from ") + table, QStringLiteral("Select * from ") + view,
          QStringLiteral("Select c2, c0 * 2 AS twice, 'x' AS s, NULL AS n, 1.5 AS d from ") +
              table}) {
        SCOPED_TRACE(command.toStdString());
        const QStringList fromDriver = readColumns(*odbc, command);
        const QStringList fromProvider = readColumns(*native, command);
        ASSERT_EQ(fromProvider.size(), fromDriver.size());
        for (qsizetype k = 0; k < fromDriver.size(); ++k)
            EXPECT_EQ(fromProvider[k].toStdString(), fromDriver[k].toStdString());
    }
}

TEST_F(PostgresProvider, MoneyIsAnExactDecimalOfTheDriversType) {
    const QString table = objectName(QStringLiteral("money"));
    runSetup({QStringLiteral("CREATE TABLE %1 (m money)").arg(table),
              QStringLiteral("INSERT INTO %1 VALUES (12.34), (-0.5), (0.05), (0), "
                             "(92233720368547758.07), (-92233720368547758.08), (NULL)")
                  .arg(table)});
    const QString command = QStringLiteral("Select * from ") + table;
    const QStringList fromDriver = readColumns(*openConnection(odbcString()), command);
    const QStringList fromProvider = readColumns(*openConnection(nativeString()), command);
    // The same column; the driver's doubles lose the cents of large amounts.
    EXPECT_EQ(fromProvider[0].section(u'\n', 0, 0), fromDriver[0].section(u'\n', 0, 0));
    EXPECT_EQ(fromProvider[0].section(u'\n', 0, 0), QStringLiteral("m 5 8 0x74"));
    EXPECT_EQ(fromProvider[0].section(u'\n', 1),
              QStringLiteral("Decimal:12.34\nDecimal:-0.50\nDecimal:0.05\nDecimal:0.00\n"
                             "Decimal:92233720368547758.07\nDecimal:-92233720368547758.08\nNull"));
}

TEST_F(PostgresProvider, DatesAndTimesOutsideTheCalendarAreInvalidValues) {
    struct Case {
        const char* column;  // of the table below
        const char* literal;
        const char* shown;  // in the message, as the server writes the value
    };
    const Case cases[] = {
        {"d", "'infinity'", "infinity"},
        {"d", "'-infinity'", "-infinity"},
        {"d", "'10000-01-01'", "10000-01-01"},
        {"d", "'0001-01-01 BC'", "0001-01-01 BC"},
        {"ts", "'infinity'", "infinity"},
        {"ts", "'10000-01-01 00:00:00'", "10000-01-01 00:00:00"},
        {"ts", "'0044-03-15 12:00:00.5 BC'", "0044-03-15 12:00:00.5 BC"},
        {"tz", "'-infinity'", "-infinity"},
        {"t", "'24:00:00'", "24:00:00"},
    };
    const QString table = objectName(QStringLiteral("calendar"));
    QStringList setup{
        QStringLiteral("CREATE TABLE %1 (id integer, d date, ts timestamp, tz timestamptz, t time)")
            .arg(table)};
    for (size_t k = 0; k < std::size(cases); ++k) {
        setup << QStringLiteral("INSERT INTO %1 (id, %2) VALUES (%3, %4)")
                     .arg(table, QString::fromLatin1(cases[k].column))
                     .arg(k)
                     .arg(QString::fromLatin1(cases[k].literal));
    }
    runSetup(setup);

    auto native = openConnection(nativeString());
    auto rs = native->execute(QStringLiteral("Select * from %1 order by id").arg(table));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.literal);
        ASSERT_FALSE(rs->atEnd());
        const QString column = QString::fromLatin1(c.column);
        try {
            rs->field(column).value();
            ADD_FAILURE() << "the value was handed over";
        } catch (const Error& error) {
            EXPECT_EQ(error.sqlState(), QStringLiteral("22018"));
            EXPECT_TRUE(error.description().contains(u'"' + QString::fromLatin1(c.shown) + u'"'))
                << error.description().toStdString();
        }
        // Only the value itself is spoilt: the rest of the row reads.
        EXPECT_EQ(rs->field(QStringLiteral("id")).value().kind, db::ValueKind::Integer);
        for (const char* other : {"d", "ts", "tz", "t"}) {
            if (QString::fromLatin1(other) != column) {
                EXPECT_TRUE(rs->field(QString::fromLatin1(other)).isNull()) << other;
            }
        }
        EXPECT_THROW(rs->field(column).value(), Error);  // asked again, refused again
        rs->moveNext();
    }
    EXPECT_TRUE(rs->atEnd());
}

}  // namespace
}  // namespace brivano::test
