// The built-in PostgreSQL provider stands in for the PostgreSQL ODBC driver:
// switching a connection string from one to the other must not change a
// column's type code, size or attributes, nor any value it hands over.

#include "PostgresTestSupport.h"

namespace brivano::test {
namespace {

class PostgresProvider : public PostgresTest {};

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
    const QString table = everyTypeTable();
    const QString view = objectName(QStringLiteral("every_view"), QStringLiteral("VIEW"));
    runSetup(
        {QStringLiteral("CREATE VIEW %1 AS SELECT c1 + 1 AS expression, c23 AS text, 1 AS one, "
                        "c12 AS bits FROM %2")
             .arg(view, table)});

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

TEST_F(PostgresProvider, BooleansAreBitsOnBothWaysWhenTheStringSaysBoolsAsCharIsOff) {
    const QString table = objectName(QStringLiteral("flags"));
    runSetup({QStringLiteral("CREATE TABLE %1 (f boolean, g boolean not null)").arg(table),
              QStringLiteral("INSERT INTO %1 VALUES (true, false), (NULL, true)").arg(table)});
    const QString command = QStringLiteral("Select * from ") + table;
    for (const QString& setting : {QString(), QStringLiteral(";BoolsAsChar=0")}) {
        SCOPED_TRACE(setting.toStdString());
        auto odbc = openConnection(odbcString() + setting);
        auto native = openConnection(nativeString() + setting);
        const QStringList fromDriver = readColumns(*odbc, command);
        EXPECT_EQ(readColumns(*native, command), fromDriver);
        // The driver's default: text of five characters, "1" and "0".
        const QString type =
            setting.isEmpty() ? QStringLiteral("f 200 5") : QStringLiteral("f 11 2");
        EXPECT_TRUE(fromDriver[0].startsWith(type)) << fromDriver[0].toStdString();
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
