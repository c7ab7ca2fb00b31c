// brivano-export against servers that keep silent: one that accepts a
// connection and never answers, and a link that goes silent in the middle
// of a table. Every wait ends: by its limit (a reported failure), or by a
// signal (128 + its number), with the previous export kept and nothing
// left beside it.
#include <sys/wait.h>

#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <csignal>
#include <thread>

#include "BlackHoleLink.h"
#include "ExportProcessPosix.h"
#include "NetworkRelay.h"
#include "support/TestSupport.h"

namespace brivano::cli::test {
namespace {

using brivano::test::TestDatabase;

constexpr int kAfterTerminate = 143;
constexpr int kAfterInterrupt = 130;
constexpr int kExportFailed = 1;
// Far above any limit the tests set: only a run that hangs comes near it.
constexpr qint64 kDoesNotHangMs = 20000;
// The table the connect tests ask for; those that read one have their own,
// as ctest may run them side by side on the same servers.
constexpr char kTable[] = "Attesa_Righe";
// Enough rows that the link goes silent well inside the table.
constexpr int kRows = 60000;
constexpr std::int64_t kBytesBeforeStall = 300000;

// The four ways to a server: each server's ODBC driver and built-in provider.
std::vector<TestDatabase> servers() {
    std::vector<TestDatabase> found;
    for (const TestDatabase& database : brivano::test::testDatabases()) {
        if (database.kind == TestDatabase::Kind::Server)
            found.push_back(database);
    }
    return found;
}

bool isOdbc(const TestDatabase& database) {
    return !database.builtInProvider;
}

int portOf(const QString& connection) {
    static const QRegularExpression port(QStringLiteral("Port\\s*=\\s*(\\d+)"),
                                         QRegularExpression::CaseInsensitiveOption);
    return port.match(connection).captured(1).toInt();
}

// The same string, to `host` (127.0.0.1 unless said) at `port`, with
// `extra` keys at its end.
QString throughPort(QString connection, int port, const QString& extra = {},
                    const QString& host = {}) {
    static const QRegularExpression portKey(QStringLiteral("Port\\s*=\\s*\\d+"),
                                            QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression serverKey(QStringLiteral("Server\\s*=\\s*[^;]*"),
                                              QRegularExpression::CaseInsensitiveOption);
    connection.replace(portKey, QStringLiteral("Port=%1").arg(port));
    if (!host.isEmpty())
        connection.replace(serverKey, QStringLiteral("Server=") + host);
    if (!connection.endsWith(u';'))
        connection += u';';
    return connection + extra;
}

class NetworkWaitTest : public ::testing::Test {
  protected:
    void SetUp() override {
        QFile previous(output());
        ASSERT_TRUE(previous.open(QIODevice::WriteOnly));
        previous.write(kPrevious);
    }

    // The servers, or a skip (a failure when they are required).
    std::vector<TestDatabase> reachableServers() {
        std::vector<TestDatabase> found;
        for (const TestDatabase& database : servers()) {
            if (database.connectionString.isEmpty()) {
                if (brivano::test::serversRequired())
                    ADD_FAILURE() << database.name.toStdString() << ": "
                                  << database.missingReason.toStdString();
                continue;
            }
            found.push_back(database);
        }
        return found;
    }

    static void createTable(const TestDatabase& database, const char* table) {
        const bool mariaDb = brivano::test::isMariaDb(database);
        const QString rows =
            mariaDb ? QStringLiteral("select seq, repeat('x', 100) from seq_1_to_%1").arg(kRows)
                    : QStringLiteral("select g, repeat('x', 100) from generate_series(1, %1) g")
                          .arg(kRows);
        brivano::test::runStatements(
            database.setupConnectionString,
            {QStringLiteral("drop table if exists %1").arg(table),
             QStringLiteral("create table %1 (Numero int, Testo varchar(100))").arg(table),
             QStringLiteral("insert into %1 %2").arg(table, rows)});
    }

    QString output() const { return drive_.filePath(QStringLiteral("Export.txt")); }
    QStringList entries() const {
        return QDir(drive_.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }
    // The previous export as it was, and nothing beside it but the empty
    // lock file that every run on it leaves.
    void expectPreviousExportKept() const {
        EXPECT_EQ(fileBytes(output()), kPrevious);
        EXPECT_EQ(entries(), QStringList({QStringLiteral(".Export.txt.brivano-lock"),
                                          QStringLiteral("Export.txt")}));
    }

    QTemporaryDir drive_;
    const QByteArray kPrevious = "I,Precedente,0,0\r\n";
};

// Report lines on standard error: " - " or "<table> - " before the reason.
int reportLines(const QString& err) {
    static const QRegularExpression report(QStringLiteral("^\\S* - "),
                                           QRegularExpression::MultilineOption);
    int count = 0;
    for (auto it = report.globalMatch(err); it.hasNext(); it.next())
        ++count;
    return count;
}

TEST_F(NetworkWaitTest, ASilentServerFailsTheConnectionWithinItsConnectTimeout) {
    for (const TestDatabase& database : reachableServers()) {
        SCOPED_TRACE(database.name.toStdString());
        const SilentListener silent;
        QElapsedTimer clock;
        clock.start();
        const ProcessResult run = runExport({"-c",
                                             throughPort(database.connectionString, silent.port(),
                                                         QStringLiteral("Connect Timeout=2")),
                                             "-o", output(), kTable},
                                            drive_.path());
        EXPECT_LT(clock.elapsed(), kDoesNotHangMs);
        EXPECT_EQ(run.exitCode, kExportFailed) << run.err.toStdString();
        EXPECT_EQ(reportLines(run.err), 1) << run.err.toStdString();
        // The built-in providers say it in their own words, naming the
        // server; the drivers in theirs.
        if (!isOdbc(database)) {
            EXPECT_TRUE(run.err.contains(
                QStringLiteral("Tempo scaduto: il server 127.0.0.1:%1 non ha risposto alla "
                               "connessione entro 2 secondi")
                    .arg(silent.port())))
                << run.err.toStdString();
        }
        expectPreviousExportKept();
    }
}

TEST_F(NetworkWaitTest, ASignalDuringASilentConnectEndsTheRunAtOnce) {
    for (const TestDatabase& database : reachableServers()) {
        for (const auto& [signal, status] :
             {std::pair{SIGTERM, kAfterTerminate}, std::pair{SIGINT, kAfterInterrupt}}) {
            SCOPED_TRACE(database.name.toStdString() + " signal " + std::to_string(signal));
            const SilentListener silent;
            // The default limits: only the signal ends this wait early.
            PausedExport run({"-c", throughPort(database.connectionString, silent.port()), "-o",
                              output(), kTable});
            ASSERT_TRUE(silent.awaitClient());
            QElapsedTimer clock;
            clock.start();
            ASSERT_EQ(::kill(run.pid(), signal), 0);
            QByteArray rest;
            EXPECT_EQ(run.finish(&rest), status) << rest.constData();
            EXPECT_LT(clock.elapsed(), kDoesNotHangMs);
            EXPECT_TRUE(rest.contains("interrupted")) << rest.constData();
            EXPECT_LE(reportLines(QString::fromLocal8Bit(rest)), 1) << rest.constData();
            expectPreviousExportKept();
        }
    }
}

TEST_F(NetworkWaitTest, ALinkThatGoesSilentMidTableFailsWithinItsReadTimeout) {
    for (const TestDatabase& database : reachableServers()) {
        // The PostgreSQL driver has no limit on a read, and a relay that
        // keeps silent answers its keepalives: only a signal ends its wait
        // here (see ASignalDuringAStalledReadEndsTheRunAtOnce).
        if (isOdbc(database) && !brivano::test::isMariaDb(database))
            continue;
        SCOPED_TRACE(database.name.toStdString());
        constexpr char kOwnTable[] = "Attesa_Silenzio";
        createTable(database, kOwnTable);
        const StallingProxy proxy(portOf(database.connectionString), kBytesBeforeStall);
        QElapsedTimer clock;
        clock.start();
        const ProcessResult run = runExport(
            {"-c",
             throughPort(database.connectionString, proxy.port(), QStringLiteral("Read Timeout=2")),
             "-o", output(), kOwnTable},
            drive_.path());
        EXPECT_LT(clock.elapsed(), kDoesNotHangMs);
        EXPECT_TRUE(proxy.awaitStall());
        EXPECT_EQ(run.exitCode, kExportFailed) << run.err.toStdString();
        EXPECT_TRUE(run.err.contains(QStringLiteral("Non esportata"))) << run.err.toStdString();
        if (!isOdbc(database)) {
            EXPECT_TRUE(run.err.contains(
                QStringLiteral("Tempo scaduto: il server 127.0.0.1:%1 non ha inviato dati per 2 "
                               "secondi")
                    .arg(proxy.port())))
                << run.err.toStdString();
        }
        expectPreviousExportKept();
    }
}

// The network itself goes silent: every packet is lost, as when a cable is
// pulled out, in the middle of a table. Every path ends within the limit,
// the PostgreSQL driver's too, by the keepalives it is given.
TEST_F(NetworkWaitTest, ANetworkThatLosesEveryPacketMidTableFailsWithinItsReadTimeout) {
    for (const TestDatabase& database : reachableServers()) {
        SCOPED_TRACE(database.name.toStdString());
        BlackHoleLink link;
        if (!link.ready())
            GTEST_SKIP() << "no link of the test's own: " << link.why().toStdString();
        constexpr char kOwnTable[] = "Attesa_Pacchetti";
        createTable(database, kOwnTable);
        const StallingProxy proxy(portOf(database.connectionString), kBytesBeforeStall,
                                  link.hostAddress().toStdString());
        bool dropped = false;
        std::thread cut([&] { dropped = proxy.awaitStall() && link.dropEverything(); });
        QElapsedTimer clock;
        clock.start();
        const ProcessResult run =
            runExportUnder(link.enter(),
                           {"-c",
                            throughPort(database.connectionString, proxy.port(),
                                        QStringLiteral("Read Timeout=3"), link.hostAddress()),
                            "-o", output(), kOwnTable},
                           drive_.path());
        cut.join();
        EXPECT_TRUE(dropped) << run.err.toStdString();
        EXPECT_LT(clock.elapsed(), kDoesNotHangMs);
        EXPECT_EQ(run.exitCode, kExportFailed) << run.err.toStdString();
        EXPECT_TRUE(run.err.contains(QStringLiteral("Non esportata"))) << run.err.toStdString();
        expectPreviousExportKept();
    }
}

TEST_F(NetworkWaitTest, ASignalDuringAStalledReadEndsTheRunAtOnce) {
    for (const TestDatabase& database : reachableServers()) {
        SCOPED_TRACE(database.name.toStdString());
        constexpr char kOwnTable[] = "Attesa_Segnale";
        createTable(database, kOwnTable);
        const StallingProxy proxy(portOf(database.connectionString), kBytesBeforeStall);
        PausedExport run({"-c", throughPort(database.connectionString, proxy.port()), "-o",
                          output(), kOwnTable});
        ASSERT_TRUE(proxy.awaitStall());
        QElapsedTimer clock;
        clock.start();
        ASSERT_EQ(::kill(run.pid(), SIGTERM), 0);
        QByteArray rest;
        EXPECT_EQ(run.finish(&rest), kAfterTerminate) << rest.constData();
        EXPECT_LT(clock.elapsed(), kDoesNotHangMs);
        EXPECT_TRUE(rest.contains("interrupted")) << rest.constData();
        EXPECT_LE(reportLines(QString::fromLocal8Bit(rest)), 1) << rest.constData();
        expectPreviousExportKept();
    }
}

}  // namespace
}  // namespace brivano::cli::test
