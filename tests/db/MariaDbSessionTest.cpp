// How the built-in MariaDB provider holds its session: read-only, one
// snapshot for a run, prepared statements only, a statement stopped from
// another thread, and a connection that went away.
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <chrono>
#include <thread>

#include "DatabaseCases.h"
#include "db/LayerErrors.h"

namespace brivano::test {
namespace {

using namespace std::chrono_literals;

// Client and server numbers for a connection that went away under a call.
constexpr long kServerGone = 2006;
constexpr long kServerLost = 2013;
constexpr long kConnectionKilled = 1927;
constexpr long kQueryInterrupted = 1317;

class MariaDbSessionTest : public DatabaseTest {
  protected:
    // A table of `rows` integers 1..rows.
    QString numbers(const QString& stem, int rows) {
        const QString table = tableName(stem);
        runSetup(
            {QStringLiteral("CREATE TABLE %1 (a int) ENGINE=InnoDB").arg(table),
             QStringLiteral("INSERT INTO %1 SELECT seq FROM seq_1_to_%2").arg(table).arg(rows)});
        return table;
    }

    static int rowsRead(db::Connection& connection, const QString& query) {
        auto rs = connection.execute(query);
        int rows = 0;
        for (; !rs->atEnd(); rs->moveNext()) {
            rs->field(0).value();
            ++rows;
        }
        return rows;
    }

    // Kills the connection's session from another one: the operation under
    // way fails with the client's error, every later one at once.
    void expectLostAfterKill(db::Connection& connection, bool midRead) {
        const std::int64_t id = sessionId(connection);
        std::unique_ptr<db::ResultSet> rs;
        if (midRead) {
            rs = connection.execute(QStringLiteral("Select * from seq_1_to_100000000"));
            for (int row = 0; row < 10; ++row)
                rs->moveNext();
        }
        runSetup({QStringLiteral("KILL %1").arg(id)});
        try {
            if (midRead) {
                for (int row = 0; row < 100000000; ++row)
                    rs->moveNext();
            } else {
                connection.execute(QStringLiteral("Select 1 as one"));
            }
            ADD_FAILURE() << "the killed session went on";
        } catch (const Error& error) {
            EXPECT_TRUE(error.number() == kServerLost || error.number() == kConnectionKilled ||
                        error.number() == kServerGone)
                << error.number() << " " << error.description().toStdString();
        }
        QElapsedTimer clock;
        clock.start();
        // Ending the table has nothing left to end: the failure that met
        // the loss has told of it, and the run must not hear it twice.
        EXPECT_NO_THROW(connection.endTableRead(false));
        for (const auto& operation : std::initializer_list<std::function<void()>>{
                 [&] { connection.execute(QStringLiteral("Select 1 as one")); },
                 [&] { connection.beginTableRead(); }}) {
            try {
                operation();
                ADD_FAILURE() << "an operation on a lost connection succeeded";
            } catch (const Error& error) {
                EXPECT_EQ(error.number(), db::kConnectionLost) << error.description().toStdString();
            }
        }
        EXPECT_LT(clock.elapsed(), 1000);
        connection.close();
        EXPECT_FALSE(connection.isOpen());
    }

    static std::int64_t sessionId(db::Connection& connection) {
        auto rs = connection.execute(QStringLiteral("Select connection_id() as id"));
        const db::Value& value = rs->field(0).value();
        return value.kind == db::ValueKind::Unsigned
                   ? static_cast<std::int64_t>(value.unsignedInteger)
                   : value.integer;
    }
};

TEST_P(MariaDbSessionTest, OnlyReadsAndRunsOneStatementAtATime) {
    const QString table = numbers(QStringLiteral("guarded"), 3);
    auto connection = openConnection(connectionString());
    struct Case {
        const char* what;
        QString command;
        const char* sqlState;
    };
    const Case cases[] = {
        {"an insert", QStringLiteral("INSERT INTO %1 VALUES (4)").arg(table), "25006"},
        {"a delete", QStringLiteral("DELETE FROM %1").arg(table), "25006"},
        {"two statements", QStringLiteral("Select * from %1; DROP TABLE %1").arg(table), "42000"},
        {"a table name that ends a statement",
         QStringLiteral("Select * from %1;DELETE FROM %1").arg(table), "42000"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        for (const bool inSnapshot : {false, true}) {
            if (inSnapshot)
                connection->beginTableRead();
            try {
                connection->execute(c.command)->readAllRows();
                ADD_FAILURE() << "it ran";
            } catch (const Error& error) {
                EXPECT_EQ(error.sqlState(), QString::fromLatin1(c.sqlState))
                    << error.description().toStdString();
            }
            if (inSnapshot)
                connection->endTableRead(false);
        }
    }
    connection->close();
    EXPECT_EQ(rowsRead(*openConnection(database().setupConnectionString),
                       QStringLiteral("Select * from ") + table),
              3);
}

TEST_P(MariaDbSessionTest, ARunReadsOneSnapshotWhateverHappensMeanwhile) {
    const QString table = numbers(QStringLiteral("snapshot"), 3);
    const QString other = numbers(QStringLiteral("other"), 2);
    const QString query = QStringLiteral("Select * from ") + table;
    auto connection = openConnection(connectionString());
    connection->beginTableRead();
    EXPECT_EQ(connection->execute(query)->readAllRows().rows, 3);
    // Committed between the count and the rows: not seen by either.
    runSetup({QStringLiteral("INSERT INTO %1 VALUES (4)").arg(table)});
    EXPECT_EQ(rowsRead(*connection, query), 3);
    connection->endTableRead(true);

    // Failures within the run leave the snapshot as it was.
    const std::function<void()> failures[] = {
        [&] { connection->execute(QStringLiteral("Select * from nessuna")); },
        [&] { connection->execute(QStringLiteral("INSERT INTO %1 VALUES (5)").arg(table)); },
        [&] {
            std::thread stopper([&] {
                std::this_thread::sleep_for(300ms);
                connection->cancel();
            });
            try {
                connection->execute(QStringLiteral("Select sleep(20) as s"))->readAllRows();
            } catch (...) {
                stopper.join();
                throw;
            }
            stopper.join();
        },
    };
    for (const auto& fail : failures) {
        connection->beginTableRead();
        EXPECT_THROW(fail(), Error);
        connection->endTableRead(false);
        runSetup({QStringLiteral("INSERT INTO %1 VALUES (6)").arg(other)});
        connection->beginTableRead();
        EXPECT_EQ(connection->execute(QStringLiteral("Select * from ") + other)->readAllRows().rows,
                  2);
        EXPECT_EQ(connection->execute(query)->readAllRows().rows, 3);
        connection->endTableRead(true);
    }
    connection->close();
    connection->open(connectionString());
    EXPECT_EQ(connection->execute(query)->readAllRows().rows, 4);
}

TEST_P(MariaDbSessionTest, ATableLeftHalfReadDoesNotSpoilTheNext) {
    const QString big = numbers(QStringLiteral("half_read"), 50000);
    const QString next = numbers(QStringLiteral("next"), 7);
    auto connection = openConnection(connectionString());
    connection->beginTableRead();
    EXPECT_EQ(connection->execute(QStringLiteral("Select * from ") + big)->readAllRows().rows,
              50000);
    auto rs = connection->execute(QStringLiteral("Select * from ") + big);
    for (int row = 0; row < 10; ++row)
        rs->moveNext();
    connection->endTableRead(false);

    connection->beginTableRead();
    const QString query = QStringLiteral("Select * from ") + next;
    EXPECT_EQ(connection->execute(query)->readAllRows().rows, 7);
    EXPECT_EQ(rowsRead(*connection, query), 7);
    connection->endTableRead(true);
    // The result left behind has lost its rows to the commands that came
    // after it, and says so instead of ending early.
    try {
        rs->moveNext();
        ADD_FAILURE() << "the old result went on";
    } catch (const Error& error) {
        EXPECT_EQ(error.number(), db::kOperationNotAllowed);
    }
}

TEST_P(MariaDbSessionTest, RowsGivenUpEarlyAreNotReadToTheirEnd) {
    // A billion rows: reading them all to drop them would take minutes.
    const QString endless = QStringLiteral("Select * from seq_1_to_1000000000");
    auto connection = openConnection(connectionString());
    struct Case {
        const char* how;
        std::function<void(std::unique_ptr<db::ResultSet>&)> giveUp;
    };
    const Case cases[] = {
        {"the result goes", [](std::unique_ptr<db::ResultSet>& rs) { rs.reset(); }},
        {"another command runs",
         [&](std::unique_ptr<db::ResultSet>&) {
             connection->execute(QStringLiteral("Select 2 as two"));
         }},
        {"the table read ends unfinished",
         [&](std::unique_ptr<db::ResultSet>&) { connection->endTableRead(false); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.how);
        connection->beginTableRead();
        auto rs = connection->execute(endless);
        for (int row = 0; row < 1000; ++row)
            rs->moveNext();
        QElapsedTimer clock;
        clock.start();
        c.giveUp(rs);
        EXPECT_EQ(connection->execute(QStringLiteral("Select 1 as one"))->field(0).value().integer,
                  1);
        EXPECT_LT(clock.elapsed(), 5000);
        connection->endTableRead(true);
    }
}

TEST_P(MariaDbSessionTest, CancelStopsTheStatementFromAnotherThread) {
    auto connection = openConnection(connectionString());
    connection->cancel();  // nothing runs: harmless
    struct Case {
        const char* what;
        QString query;
    };
    const Case cases[] = {
        {"a statement that has not given its first row", QStringLiteral("Select sleep(30) as s")},
        {"rows streaming", QStringLiteral("Select seq, sleep(0.01) as s from seq_1_to_3000")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QElapsedTimer clock;
        clock.start();
        std::thread stopper([&] {
            std::this_thread::sleep_for(1s);
            connection->cancel();
        });
        try {
            rowsRead(*connection, c.query);
            ADD_FAILURE() << "the statement was not stopped";
        } catch (const Error& error) {
            EXPECT_EQ(error.number(), kQueryInterrupted) << error.description().toStdString();
            EXPECT_EQ(error.sqlState(), QStringLiteral("70100"));
        }
        stopper.join();
        EXPECT_LT(clock.elapsed(), 15000);
        // The connection goes on.
        EXPECT_EQ(connection->execute(QStringLiteral("Select 1 as one"))->field(0).value().integer,
                  1);
    }
}

TEST_P(MariaDbSessionTest, ALostConnectionFailsEveryLaterOperationAtOnce) {
    // Killed while its rows stream, or between two statements; and with an
    // option file that asks the client library to reconnect, which must
    // not bring back a session outside the snapshot.
    struct Case {
        const char* what;
        bool midRead;
        bool inSnapshot;
        const char* optionFile;
    };
    const Case cases[] = {
        {"killed mid-read", true, true, ""},
        {"killed between statements", false, true, ""},
        {"killed between statements, outside the snapshot", false, false, ""},
        {"killed with reconnect in ~/.my.cnf", false, false, "[client]\nreconnect=1\n"},
    };
    const QByteArray home = qgetenv("HOME");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir folder;
        ASSERT_TRUE(folder.isValid());
        QFile file(folder.filePath(QStringLiteral(".my.cnf")));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(c.optionFile);
        file.close();
        qputenv("HOME", folder.path().toUtf8());
        auto connection = openConnection(connectionString());
        qputenv("HOME", home);
        if (c.inSnapshot)
            connection->beginTableRead();
        expectLostAfterKill(*connection, c.midRead);
    }
}

INSTANTIATE_TEST_SUITE_P(MariaDB, MariaDbSessionTest, ::testing::ValuesIn(mariadbNativeDatabases()),
                         databaseTestName);

}  // namespace
}  // namespace brivano::test
