// The export run against real servers that fail under it: a PostgreSQL
// server stopped in the middle of a table, and MariaDB values that no
// calendar has. The file must stay true and the list must say what happened.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "RecordingHost.h"
#include "export/ExportRun.h"
#include "support/TestSupport.h"

namespace brivano::test {
namespace {

const QString kCompletedWithErrors = "Esportazione completata con errori: vedere l'elenco";

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// A PostgreSQL server of this test's own, so that stopping it harms no
// other test: started by the project's service script, stopped at will.
class PrivatePostgres {
  public:
    PrivatePostgres() {
        // The server runs as its own user, who must reach the folder.
        QFile::setPermissions(folder_.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                  QFileDevice::ExeOwner | QFileDevice::ReadGroup |
                                                  QFileDevice::ExeGroup | QFileDevice::ReadOther |
                                                  QFileDevice::ExeOther);
        QProcess start;
        start.start(script(), {QStringLiteral("start"), folder_.filePath(QStringLiteral("pg"))});
        start.waitForFinished(120000);
        const QString printed = QString::fromUtf8(start.readAllStandardOutput());
        const QRegularExpression line(QStringLiteral("BRIVANO_TEST_POSTGRES='([^']*)'"));
        const QRegularExpressionMatch match = line.match(printed);
        if (start.exitCode() == 0 && match.hasMatch())
            connectionString_ = match.captured(1);
        else
            error_ = QString::fromUtf8(start.readAllStandardError());
    }
    ~PrivatePostgres() { stop(); }
    PrivatePostgres(const PrivatePostgres&) = delete;
    PrivatePostgres& operator=(const PrivatePostgres&) = delete;

    const QString& connectionString() const { return connectionString_; }
    const QString& error() const { return error_; }
    void stop() {
        if (stopped_)
            return;
        QProcess::execute(script(),
                          {QStringLiteral("stop"), folder_.filePath(QStringLiteral("pg"))});
        stopped_ = true;
    }

  private:
    static QString script() {
        return QStringLiteral(BRIVANO_SOURCE_DIR "/scripts/services/postgres");
    }

    QTemporaryDir folder_;
    QString connectionString_;
    QString error_;
    bool stopped_ = false;
};

class ServerFaultTest : public ::testing::Test {
  protected:
    QString exportPath() const { return folder_.filePath(QStringLiteral("Export.txt")); }

    // Exports a small table, a big one during which the server is stopped,
    // and one more; `native` reads through the built-in provider instead of
    // the ODBC driver. The big table must be absent, each failed table
    // reported once, and nothing else left in the folder.
    void exportWhileTheServerStops(bool native) {
        PrivatePostgres server;
        ASSERT_FALSE(server.connectionString().isEmpty()) << server.error().toStdString();
        // Rows enough that the server still has some to send when it stops,
        // whatever the socket buffers hold.
        runStatements(server.connectionString(),
                      {QStringLiteral("CREATE TABLE piccola (a integer)"),
                       QStringLiteral("INSERT INTO piccola VALUES (1), (2)"),
                       QStringLiteral("CREATE TABLE grande (a integer, b varchar(20))"),
                       QStringLiteral("INSERT INTO grande SELECT x, 'riga ' || x "
                                      "FROM generate_series(1, 1000000) x"),
                       QStringLiteral("CREATE TABLE dopo (a integer)")});
        // The driver fetches a block at a time, so the server is still
        // needed in the middle of the table.
        host.connection =
            native ? QString(server.connectionString())
                         .replace(QRegularExpression(QStringLiteral("Driver=\\{[^}]*\\}")),
                                  QStringLiteral("Provider=PostgreSQL"))
                   : server.connectionString() + QStringLiteral(";UseDeclareFetch=1;Fetch=500");
        host.tick(0, QStringLiteral("piccola"));
        host.tick(1, QStringLiteral("grande"));
        host.tick(2, QStringLiteral("dopo"));
        host.onYield = [&](int yield) {
            if (yield == 1000)
                server.stop();
        };
        exporter::ExportRun run(host, exportPath());
        run.RunExport();

        // The small table is written, the big one is not there at all.
        EXPECT_EQ(fileBytes(exportPath()),
                  "I,piccola,0,1\r\nN,[a]\r\nT,3\r\nS,4\r\nA,116\r\nD,1\r\nD,2\r\n");
        const std::string list = host.messages.join(u'\n').toStdString();
        ASSERT_EQ(host.messages.size(), 5) << list;
        EXPECT_EQ(host.messages[0],
                  QStringLiteral("Export Tabella piccola...Completato (2 Records)"));
        EXPECT_TRUE(host.messages[1].startsWith(QStringLiteral("grande - "))) << list;
        EXPECT_EQ(host.messages[2], QStringLiteral("Export Tabella grande...Non esportata"));
        // The table after it fails at once, with one line, and closing the
        // lost connection adds none.
        EXPECT_TRUE(host.messages[3].startsWith(QStringLiteral("dopo - "))) << list;
        EXPECT_EQ(host.messages[4], QStringLiteral("Export Tabella dopo...Non esportata"));
        ASSERT_EQ(host.shown.size(), 1u);
        EXPECT_EQ(host.shown[0].text, kCompletedWithErrors);
        EXPECT_EQ(QDir(folder_.path()).entryList(QDir::Files | QDir::Hidden),
                  QStringList({".Export.txt.brivano-lock", "Export.txt"}));
    }

    QTemporaryDir folder_;
    RecordingHost host;
};

bool postgresSkipped() {
    return !serversRequired() && qEnvironmentVariableIsEmpty("BRIVANO_TEST_POSTGRES");
}

TEST_F(ServerFaultTest, AServerStoppedInTheMiddleOfATableLeavesNoBlockOfIt) {
    if (postgresSkipped())
        GTEST_SKIP() << "no PostgreSQL in this run";
    exportWhileTheServerStops(false);
}

TEST_F(ServerFaultTest, TheBuiltInProviderLeavesNoBlockWhenTheServerStops) {
    if (postgresSkipped())
        GTEST_SKIP() << "no PostgreSQL in this run";
    exportWhileTheServerStops(true);
}

TEST_F(ServerFaultTest, MariaDbZeroDatesAreEmptyEntriesWithAReportLine) {
    const QString connection = qEnvironmentVariable("BRIVANO_TEST_MARIADB");
    if (connection.isEmpty()) {
        if (serversRequired())
            FAIL() << "BRIVANO_TEST_MARIADB is not set";
        GTEST_SKIP() << "no MariaDB in this run";
    }
    const QString table = QStringLiteral("mdates_%1").arg(QCoreApplication::applicationPid());
    runStatements(connection,
                  {QStringLiteral("SET SESSION sql_mode = ''"),
                   QStringLiteral("DROP TABLE IF EXISTS ") + table,
                   QStringLiteral("CREATE TABLE %1 (id int, quando datetime)").arg(table),
                   QStringLiteral("INSERT INTO %1 VALUES (1, '2024-01-02 03:04:05'), "
                                  "(2, '0000-00-00 00:00:00')")
                       .arg(table)});
    host.connection = connection;
    host.tick(0, table);
    exporter::ExportRun run(host, exportPath());
    run.setCodePage(1252);
    run.RunExport();
    runStatements(connection, {QStringLiteral("DROP TABLE ") + table});

    const QByteArray bytes = fileBytes(exportPath());
    EXPECT_TRUE(bytes.startsWith("I," + table.toLatin1() + ",1,1\r\nN,[id],[quando]\r\n"))
        << bytes.constData();
    EXPECT_TRUE(bytes.endsWith("\r\nD,2,\r\n")) << bytes.constData();
    ASSERT_EQ(host.reports.size(), 1);
    EXPECT_TRUE(host.reports[0].contains(QStringLiteral("quando")));
    EXPECT_TRUE(host.reports[0].contains(QStringLiteral("\"0000-00-00 00:00:00\"")));
    EXPECT_EQ(host.messages.last(),
              QStringLiteral("Export Tabella %1...Completato (2 Records)").arg(table));
}

}  // namespace
}  // namespace brivano::test
