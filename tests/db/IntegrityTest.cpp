// What every provider must keep to, so that an export is true: it never
// writes, it reads a table's count and rows in one snapshot, and a failed
// table spoils nothing after it.
#include <unistd.h>

#include <functional>

#include "DatabaseCases.h"
#include "db/connect/ConnectionFactory.h"

namespace brivano::test {
namespace {

class IntegrityTest : public DatabaseTest {
  protected:
    std::unique_ptr<db::Connection> open() { return openConnection(connectionString()); }

    // The rows a fresh result of `query` steps through.
    static int steppedRows(db::Connection& connection, const QString& query) {
        auto rs = connection.execute(query);
        int rows = 0;
        for (; !rs->atEnd(); rs->moveNext())
            ++rows;
        return rows;
    }
    // The rows of a table as a connection that may write sees them.
    int rowsNow(const QString& table) {
        auto connection = open();
        return steppedRows(*connection, QStringLiteral("Select * from ") + table);
    }
};

TEST_P(IntegrityTest, TheConnectionNeverWrites) {
    const QString table = tableName(QStringLiteral("guarded"));
    const QString victim = tableName(QStringLiteral("victim"));
    runSetup({QStringLiteral("CREATE TABLE %1 (a integer)").arg(table),
              QStringLiteral("INSERT INTO %1 VALUES (1)").arg(table),
              QStringLiteral("CREATE TABLE %1 (a integer)").arg(victim)});
    auto connection = open();
    const QStringList writes{
        QStringLiteral("INSERT INTO %1 VALUES (2)").arg(table),
        QStringLiteral("UPDATE %1 SET a = 3").arg(table),
        QStringLiteral("DELETE FROM %1").arg(table),
        QStringLiteral("DROP TABLE %1").arg(victim),
        // A table "name" that carries a statement of its own.
        QStringLiteral("Select * from %1 where 1=0; drop table %2; --").arg(table, victim),
    };
    for (const QString& write : writes) {
        SCOPED_TRACE(write.toStdString());
        connection->beginTableRead();
        bool refused = false;
        try {
            auto rs = connection->execute(write);
            while (!rs->atEnd())
                rs->moveNext();
        } catch (const Error&) {
            refused = true;
        }
        connection->endTableRead(!refused);
        EXPECT_TRUE(refused);
    }
    connection->close();
    EXPECT_EQ(rowsNow(table), 1);
    EXPECT_EQ(rowsNow(victim), 0);  // still there
}

TEST_P(IntegrityTest, ATablesCountAndRowsComeFromOneSnapshot) {
    const QString table = tableName(QStringLiteral("snapshot"));
    QStringList setup;
    if (database().kind != TestDatabase::Kind::Server) {
        // In WAL mode readers hold no writer off: another connection can
        // write between the two readings, which must not see it.
        setup << QStringLiteral("PRAGMA journal_mode=WAL");
    }
    setup << QStringLiteral("CREATE TABLE %1 (a integer)").arg(table)
          << QStringLiteral("INSERT INTO %1 VALUES (1)").arg(table)
          << QStringLiteral("INSERT INTO %1 VALUES (2)").arg(table);
    runSetup(setup);
    const QString query = QStringLiteral("Select * from ") + table;

    auto connection = open();
    connection->beginTableRead();
    auto first = connection->execute(query);
    ASSERT_FALSE(first->atEnd());
    EXPECT_EQ(first->readAllRows().rows, 2);
    runSetup({QStringLiteral("INSERT INTO %1 VALUES (3)").arg(table)});
    EXPECT_EQ(steppedRows(*connection, query), 2);
    connection->endTableRead(true);
    connection->close();
    EXPECT_EQ(rowsNow(table), 3);
}

TEST_P(IntegrityTest, AFailedTableDoesNotSpoilTheNext) {
    const QString table = tableName(QStringLiteral("after_failure"));
    runSetup({QStringLiteral("CREATE TABLE %1 (a integer)").arg(table),
              QStringLiteral("INSERT INTO %1 VALUES (7)").arg(table)});
    auto connection = open();
    for (int run = 0; run < 2; ++run) {
        connection->beginTableRead();
        EXPECT_THROW(
            connection->execute(QStringLiteral("Select * from no_such_table_%1").arg(::getpid())),
            Error);
        connection->endTableRead(false);
        connection->beginTableRead();
        auto rs = connection->execute(QStringLiteral("Select * from ") + table);
        ASSERT_FALSE(rs->atEnd());
        EXPECT_EQ(rs->field(0).value().integer, 7);
        rs.reset();
        connection->endTableRead(true);
    }
}

INSTANTIATE_TEST_SUITE_P(Databases, IntegrityTest, ::testing::ValuesIn(testDatabases()),
                         databaseTestName);

}  // namespace
}  // namespace brivano::test
