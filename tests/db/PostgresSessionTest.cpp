// What the built-in PostgreSQL provider promises of its session: it only
// reads, runs one statement at a time, reads a run's tables in one
// snapshot, stops when asked, and says at once when the server is gone.
#include <QFile>
#include <QTemporaryDir>
#include <chrono>
#include <cstdlib>
#include <thread>

#include "PostgresTestSupport.h"
#include "db/ConnectionString.h"
#include "db/LayerErrors.h"

namespace brivano::test {
namespace {

class PostgresSession : public PostgresTest {
  protected:
    // A table of three rows, 1 to 3.
    QString threeRows() {
        const QString table = objectName(QStringLiteral("three"));
        runSetup({QStringLiteral("CREATE TABLE %1 (a integer)").arg(table),
                  QStringLiteral("INSERT INTO %1 VALUES (1), (2), (3)").arg(table)});
        return table;
    }

    int rowsOf(const QString& connectionString, const QString& table) const {
        return openConnection(connectionString)
            ->execute(QStringLiteral("Select * from ") + table)
            ->readAllRows()
            .rows;
    }
};

// The SQLSTATE of the error that `operation` raises; empty when none.
template <typename Operation>
QString sqlStateOf(Operation&& operation) {
    try {
        operation();
    } catch (const Error& error) {
        return error.sqlState().isEmpty() ? QStringLiteral("(none)") : error.sqlState();
    }
    return {};
}

TEST_F(PostgresSession, OnlyOneStatementEverRuns) {
    const QString table = threeRows();
    const QString cases[] = {
        QStringLiteral("Select * from %1; drop table %1").arg(table),
        QStringLiteral("Select * from %1;drop table %1;").arg(table),
        // Aimed at the statements that wrap the command for counting.
        QStringLiteral("Select 1) AS t(c1); drop table %1; select (1").arg(table),
        QStringLiteral("Select 1 -- \n) AS t(c1); drop table %1; select (1").arg(table),
    };
    auto native = openConnection(nativeString());
    for (const QString& command : cases) {
        SCOPED_TRACE(command.toStdString());
        EXPECT_FALSE(sqlStateOf([&] { native->execute(command)->readAllRows(); }).isEmpty());
    }
    EXPECT_EQ(rowsOf(odbcString(), table), 3);
}

TEST_F(PostgresSession, TheSessionOnlyReads) {
    const QString table = threeRows();
    const QString sequence = objectName(QStringLiteral("numbers"), QStringLiteral("SEQUENCE"));
    runSetup({QStringLiteral("CREATE SEQUENCE ") + sequence});
    const QString writes[] = {
        QStringLiteral("INSERT INTO %1 VALUES (4)").arg(table),
        QStringLiteral("DELETE FROM %1").arg(table),
        QStringLiteral("WITH gone AS (DELETE FROM %1 RETURNING a) SELECT * FROM gone").arg(table),
        QStringLiteral("Select nextval('%1') AS n").arg(sequence),
    };
    auto native = openConnection(nativeString());
    for (const bool inTableRead : {false, true}) {
        for (const QString& command : writes) {
            SCOPED_TRACE(command.toStdString() + (inTableRead ? " (in a table read)" : ""));
            if (inTableRead)
                native->beginTableRead();
            EXPECT_FALSE(sqlStateOf([&] { native->execute(command)->readAllRows(); }).isEmpty());
            if (inTableRead)
                native->endTableRead(false);
        }
    }
    EXPECT_EQ(rowsOf(odbcString(), table), 3);
}

TEST_F(PostgresSession, AFailedTableDoesNotSpoilTheRestOfTheRun) {
    const QString table = threeRows();
    const QString view = objectName(QStringLiteral("failing"), QStringLiteral("VIEW"));
    // Rows come in the order they were stored, the first before the one
    // that fails.
    runSetup(
        {QStringLiteral("CREATE VIEW %1 AS SELECT a, 10 / (a - 2) AS x FROM %2").arg(view, table)});
    const QString missing = QStringLiteral("Select * from no_such_table_here");
    auto native = openConnection(nativeString());
    // One table that cannot be described, one that fails half-way through its
    // rows; the table after each reads whole.
    native->beginTableRead();
    EXPECT_EQ(sqlStateOf([&] { native->execute(missing); }), QStringLiteral("42P01"));
    native->endTableRead(false);
    native->beginTableRead();
    EXPECT_EQ(rowsOf(nativeString(), table), 3);
    auto rs = native->execute(QStringLiteral("Select * from ") + table);
    EXPECT_EQ(rs->readAllRows().rows, 3);
    native->endTableRead(true);

    native->beginTableRead();
    auto failing = native->execute(QStringLiteral("Select a, x from ") + view);
    EXPECT_EQ(failing->field(QStringLiteral("a")).value().integer, 1);
    EXPECT_EQ(sqlStateOf([&] { failing->moveNext(); }), QStringLiteral("22012"));
    failing.reset();
    native->endTableRead(false);
    native->beginTableRead();
    EXPECT_EQ(native->execute(QStringLiteral("Select * from ") + table)->readAllRows().rows, 3);
    native->endTableRead(true);
    native->close();
}

TEST_F(PostgresSession, ATableLeftHalfReadIsStoppedAndTheRunGoesOn) {
    const QString table = threeRows();
    auto native = openConnection(nativeString());
    const auto started = std::chrono::steady_clock::now();
    native->beginTableRead();
    auto rs = native->execute(QStringLiteral("Select generate_series(1, 100000000) AS g"));
    EXPECT_EQ(rs->field(0).value().integer, 1);
    rs->moveNext();
    rs.reset();  // the rest is not read, but stopped
    native->endTableRead(true);
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(10));
    native->beginTableRead();
    EXPECT_EQ(native->execute(QStringLiteral("Select * from ") + table)->readAllRows().rows, 3);
    native->endTableRead(true);
    native->close();
}

TEST_F(PostgresSession, TheRunReadsEveryTableInOneSnapshot) {
    const QString table = threeRows();
    const QString query = QStringLiteral("Select * from ") + table;
    auto native = openConnection(nativeString());
    native->beginTableRead();
    EXPECT_EQ(native->execute(query)->readAllRows().rows, 3);
    // Another connection adds a row between the count and the rows.
    runSetup({QStringLiteral("INSERT INTO %1 VALUES (4)").arg(table)});
    auto rows = native->execute(query);
    int read = 0;
    for (; !rows->atEnd(); rows->moveNext())
        ++read;
    EXPECT_EQ(read, 3);
    rows.reset();
    native->endTableRead(true);
    // The next table of the run is read as it was when the run began.
    native->beginTableRead();
    EXPECT_EQ(native->execute(query)->readAllRows().rows, 3);
    native->endTableRead(true);
    native->close();
    // A new run sees the row.
    EXPECT_EQ(rowsOf(nativeString(), table), 4);
}

TEST_F(PostgresSession, CancelStopsTheStatementUnderWayFromAnotherThread) {
    auto native = openConnection(nativeString());
    const auto started = std::chrono::steady_clock::now();
    std::thread canceller([&native] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        native->cancel();
    });
    const QString state = sqlStateOf(
        [&] { native->execute(QStringLiteral("Select pg_sleep(60) AS s"))->readAllRows(); });
    canceller.join();
    EXPECT_EQ(state, QStringLiteral("57014"));
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(20));
    // Nothing runs now: cancelling is harmless, and the connection goes on.
    native->cancel();
    EXPECT_EQ(native->execute(QStringLiteral("Select 1 AS one"))->field(0).value().integer, 1);
}

TEST_F(PostgresSession, ALostConnectionFailsEveryLaterOperationAtOnce) {
    auto native = openConnection(nativeString());
    const std::int64_t backend =
        native->execute(QStringLiteral("Select pg_backend_pid() AS pid"))->field(0).value().integer;
    // More rows than the connection's buffers hold: the server is still
    // sending when it goes.
    native->beginTableRead();
    auto rs = native->execute(QStringLiteral("Select generate_series(1, 50000000) AS g"));
    ASSERT_EQ(rs->field(0).value().integer, 1);
    // A counted result runs its query only when its rows are asked for.
    EXPECT_TRUE(
        openConnection(odbcString())
            ->execute(QStringLiteral("Select pg_terminate_backend(%1) AS done").arg(backend))
            ->field(0)
            .value()
            .text() == u"1");
    std::optional<Error> cause;
    for (int moves = 0; moves < 50000000 && !cause; ++moves) {
        try {
            rs->moveNext();
        } catch (const Error& error) {
            cause = error;
        }
    }
    ASSERT_TRUE(cause.has_value()) << "the rows ended quietly";
    EXPECT_NE(cause->number(), db::kConnectionLost);
    EXPECT_FALSE(cause->sqlState().isEmpty());
    rs.reset();

    // Ending the table and closing have nothing left to end: the failure
    // that met the loss has told of it, and the run must not hear it twice.
    const auto quiet = std::chrono::steady_clock::now();
    EXPECT_NO_THROW(native->endTableRead(false));
    const auto operations = {
        std::function<void()>([&] { native->execute(QStringLiteral("Select 1 AS one")); }),
        std::function<void()>([&] { native->beginTableRead(); }),
    };
    for (const std::function<void()>& operation : operations) {
        const auto started = std::chrono::steady_clock::now();
        try {
            operation();
            ADD_FAILURE() << "an operation on a lost connection succeeded";
        } catch (const Error& error) {
            EXPECT_EQ(error.number(), db::kConnectionLost);
            EXPECT_TRUE(error.description().contains(cause->description()));
        }
        EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(1));
    }
    EXPECT_NO_THROW(native->close());
    EXPECT_LT(std::chrono::steady_clock::now() - quiet, std::chrono::seconds(2));
    EXPECT_FALSE(native->isOpen());
}

TEST_F(PostgresSession, APasswordLeftOutIsFoundAsLibpqFindsIt) {
    const QString password = db::connectionAttribute(odbcString(), u"Pwd").value_or(QString());
    const QString port = db::connectionAttribute(odbcString(), u"Port").value_or(QString());
    QString withoutPassword = nativeString();
    withoutPassword.remove(QStringLiteral(";Pwd=") + password);
    ASSERT_NE(withoutPassword, nativeString());
    QTemporaryDir folder;
    const QString passwordFile = folder.filePath(QStringLiteral("pgpass"));
    QFile file(passwordFile);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QStringLiteral("127.0.0.1:%1:brivano:brivano:%2\n").arg(port, password).toUtf8());
    file.close();
    file.setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    struct Case {
        const char* variable;
        QString value;
    };
    for (const Case& c : {Case{"PGPASSWORD", password}, Case{"PGPASSFILE", passwordFile}}) {
        SCOPED_TRACE(c.variable);
        qputenv(c.variable, c.value.toUtf8());
        EXPECT_EQ(sqlStateOf([&] { openConnection(withoutPassword)->close(); }), QString());
        qunsetenv(c.variable);
    }
    qputenv("PGPASSFILE", QByteArray("/nonexistent"));
    EXPECT_EQ(sqlStateOf([&] { openConnection(withoutPassword); }), QStringLiteral("08001"));
    qunsetenv("PGPASSFILE");
}

}  // namespace
}  // namespace brivano::test
