// SQLite keeps any value in any column. Both ways of reading a SQLite file
// must report a stored value that does not fit its column's type, never
// pass it off as a null or a made-up number.
#include "DatabaseCases.h"

namespace brivano::test {
namespace {

class SqliteValuesTest : public DatabaseTest {};

TEST_P(SqliteValuesTest, ValuesThatDoNotFitTheirColumnAreReported) {
    struct Case {
        const char* declaration;
        const char* stored;
        const char* shown;  // part of the error's description
    };
    const Case cases[] = {
        {"integer", "'xyz'", "xyz"},
        {"bigint", "'12abc'", "12abc"},
        {"double", "'x1'", "x1"},
        {"numeric(10,2)", "'1,5'", "1,5"},
        {"date", "12345", "12345"},
        {"time", "'noon'", "noon"},
        {"datetime", "'notadate'", "notadate"},
        {"boolean", "'yes'", "yes"},
        // Days that the calendar does not have.
        {"date", "'2024-02-30'", "2024-02-30"},
        {"date", "'2023-02-29'", "2023-02-29"},
        {"datetime", "'2024-04-31 10:00:00'", "2024-04-31 10:00:00"},
        {"date", "'0000-01-01'", "0000-01-01"},
        {"time", "'24:00:00'", "24:00:00"},
        // The message stays one line whatever the value holds.
        {"integer", "'x' || char(10) || 'y' || char(9) || 'z'", "x y z"},
    };
    QStringList columns;
    QStringList values;
    for (size_t k = 0; k < std::size(cases); ++k) {
        columns << QStringLiteral("c%1 %2").arg(k).arg(QString::fromLatin1(cases[k].declaration));
        values << QString::fromLatin1(cases[k].stored);
    }
    runSetup({QStringLiteral("CREATE TABLE t (%1)").arg(columns.join(u", ")),
              QStringLiteral("INSERT INTO t VALUES (%1)").arg(values.join(u", ")),
              QStringLiteral("INSERT INTO t (c0) VALUES (NULL)")});

    auto connection = openConnection(connectionString());
    auto rs = connection->execute(QStringLiteral("Select * from t"));
    for (size_t k = 0; k < std::size(cases); ++k) {
        SCOPED_TRACE(cases[k].declaration);
        db::Field& field = rs->field(static_cast<int>(k));
        try {
            field.isNull();
            ADD_FAILURE() << "read as " << describeValue(field.value()).toStdString();
        } catch (const Error& error) {
            EXPECT_EQ(error.sqlState(), QStringLiteral("22018"));
            EXPECT_TRUE(error.description().contains(QString::fromLatin1(cases[k].shown)))
                << error.description().toStdString();
            EXPECT_FALSE(error.description().contains(u'\n') || error.description().contains(u'\t'))
                << error.description().toStdString();
        }
    }
    // True nulls stay nulls.
    rs->moveNext();
    for (size_t k = 0; k < std::size(cases); ++k) {
        EXPECT_TRUE(rs->field(static_cast<int>(k)).isNull());
    }
}

TEST_P(SqliteValuesTest, StoredFormsConvertToTheColumnsKind) {
    struct Case {
        const char* declaration;
        const char* stored;
        const char* value;
    };
    const Case cases[] = {
        {"integer", "2.0", "Integer:2"},
        {"double", "3", "Double:3"},
        {"numeric(10,2)", "7", "Decimal:7"},
        {"numeric(10,2)", "'-0.50'", "Decimal:-0.5"},  // stored as a real
        {"varchar(5)", "42", "Text:42"},
        {"datetime", "'2024-01-02T03:04:05Z'", "Timestamp:2024-01-02 03:04:05.000000000"},
        {"datetime", "'2024-01-02'", "Timestamp:2024-01-02 00:00:00.000000000"},
        {"date", "'2024-01-02 10:00:00'", "Date:2024-01-02"},
        {"time", "'2024-01-02 10:11:12'", "Time:10:11:12"},
    };
    QStringList setup;
    for (size_t k = 0; k < std::size(cases); ++k) {
        setup << QStringLiteral("CREATE TABLE t%1 (c %2)")
                     .arg(k)
                     .arg(QString::fromLatin1(cases[k].declaration))
              << QStringLiteral("INSERT INTO t%1 VALUES (%2)")
                     .arg(k)
                     .arg(QString::fromLatin1(cases[k].stored));
    }
    runSetup(setup);
    auto connection = openConnection(connectionString());
    for (size_t k = 0; k < std::size(cases); ++k) {
        SCOPED_TRACE(cases[k].stored);
        auto rs = connection->execute(QStringLiteral("Select * from t%1").arg(k));
        EXPECT_EQ(describeValue(rs->field(0).value()), QString::fromLatin1(cases[k].value));
    }
}

INSTANTIATE_TEST_SUITE_P(Sqlite, SqliteValuesTest, ::testing::ValuesIn(sqliteDatabases()),
                         databaseTestName);

}  // namespace
}  // namespace brivano::test
