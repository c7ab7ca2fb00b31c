// Values that a server keeps and the export cannot write as what they are:
// each must be an invalid value showing the server's own text, never a
// made-up date or a rounded number; and exact numbers stay exact.
#include "DatabaseCases.h"

namespace brivano::test {
namespace {

struct ServerCase {
    const char* declaration;
    const char* literal;
    const char* expected;  // describeValue(), or the text the error shows
    bool invalid;
};

class ServerValuesTest : public DatabaseTest {
  protected:
    void check(const std::vector<ServerCase>& cases, const QString& before = {}) {
        const QString table = tableName(QStringLiteral("server_values"));
        QStringList columns;
        QStringList values;
        for (size_t k = 0; k < cases.size(); ++k) {
            columns << QStringLiteral("c%1 %2").arg(k).arg(
                QString::fromLatin1(cases[k].declaration));
            values << QString::fromUtf8(cases[k].literal);
        }
        QStringList setup;
        if (!before.isEmpty())
            setup << before;
        setup << QStringLiteral("CREATE TABLE %1 (%2)").arg(table, columns.join(u", "))
              << QStringLiteral("INSERT INTO %1 VALUES (%2)").arg(table, values.join(u", "));
        runSetup(setup);

        auto connection = openConnection(connectionString());
        auto rs = connection->execute(QStringLiteral("Select * from ") + table);
        ASSERT_FALSE(rs->atEnd());
        for (size_t k = 0; k < cases.size(); ++k) {
            SCOPED_TRACE(cases[k].literal);
            const QString expected = QString::fromUtf8(cases[k].expected);
            try {
                const db::Value& value = rs->field(static_cast<int>(k)).value();
                EXPECT_FALSE(cases[k].invalid) << "read as " << describeValue(value).toStdString();
                EXPECT_EQ(describeValue(value), expected);
            } catch (const Error& error) {
                EXPECT_TRUE(cases[k].invalid) << error.description().toStdString();
                EXPECT_EQ(error.sqlState(), QStringLiteral("22018"));
                EXPECT_TRUE(error.description().contains(QStringLiteral("\"%1\"").arg(expected)))
                    << error.description().toStdString();
            }
        }
    }
};

TEST_P(ServerValuesTest, PostgreSQLValuesOutsideTheCalendarAndMoneyAtItsLimits) {
    if (!dialectOf(database()).postgres)
        GTEST_SKIP() << "PostgreSQL's values";
    check({
        {"date", "'infinity'", "infinity", true},
        {"date", "'-infinity'", "-infinity", true},
        {"timestamp", "'infinity'", "infinity", true},
        {"timestamp", "'10000-01-01 00:00:00'", "10000-01-01 00:00:00", true},
        {"date", "'0001-01-01 BC'", "0001-01-01 BC", true},
        {"time", "'24:00:00'", "24:00:00", true},
        {"date", "'2024-02-29'", "Date:2024-02-29", false},
        {"timestamp", "'9999-12-31 23:59:59'", "Timestamp:9999-12-31 23:59:59.000000000", false},
        {"money", "'-92233720368547758.08'", "Decimal:-92233720368547758.08", false},
        {"money", "'92233720368547758.07'", "Decimal:92233720368547758.07", false},
        {"money", "'0.01'", "Decimal:0.01", false},
    });
}

TEST_P(ServerValuesTest, MariaDbZeroDatesAndTimesBeyondADay) {
    if (!database().name.startsWith(u"MariaDB"))
        GTEST_SKIP() << "MariaDB's values";
    // With no SQL mode MariaDB keeps what its default mode refuses.
    check(
        {
            {"datetime", "'0000-00-00 00:00:00'", "0000-00-00 00:00:00", true},
            {"date", "'0000-00-00'", "0000-00-00", true},
            {"date", "'2024-00-10'", "2024-00-10", true},
            {"date", "'2024-02-00'", "2024-02-00", true},
            {"time", "'838:59:59'", "838:59:59", true},
            {"time", "'-10:00:00'", "-10:00:00", true},
            {"datetime", "'2024-01-02 03:04:05'", "Timestamp:2024-01-02 03:04:05.000000000", false},
        },
        QStringLiteral("SET SESSION sql_mode = ''"));
}

INSTANTIATE_TEST_SUITE_P(Databases, ServerValuesTest, ::testing::ValuesIn(testDatabases()),
                         databaseTestName);

}  // namespace
}  // namespace brivano::test
