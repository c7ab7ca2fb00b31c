// brivano-export told to stop: by a signal while it exports, or while it
// waits in a long statement.
#include <sys/wait.h>

#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <csignal>
#include <cstdio>

#include "ExportProcessPosix.h"
#include "cli/ConsoleExportHost.h"
#include "export/ExportHost.h"
#include "export/ExportRun.h"
#include "support/TestSupport.h"

namespace brivano::cli::test {
namespace {

// Exit statuses after SIGINT and SIGTERM: 128 and the signal's number.
constexpr int kAfterInterrupt = 130;
constexpr int kAfterTerminate = 143;

class ExportSignalTest : public ::testing::Test {
  protected:
    ExportSignalTest() {
        const QString file = drive_.filePath(QStringLiteral("tables.db"));
        brivano::test::runStatements(
            QStringLiteral("Driver=SQLite3;Database=") + file,
            {QStringLiteral("create table Brand (Codice char(6), Nome varchar(30))"),
             QStringLiteral("insert into Brand values ('A-001', 'Vite'), ('A-002', 'Dado')"),
             // Counting it takes minutes: only a cancel ends it early.
             QStringLiteral("create view Lenta as with recursive c(x) as (select 1 union all "
                            "select x + 1 from c where x < 4000000000) select x from c")});
        connection_ = QStringLiteral("Provider=SQLite;Data Source=") + file;
        QFile previous(output());
        EXPECT_TRUE(previous.open(QIODevice::WriteOnly));
        previous.write(kPrevious);
    }

    QString output() const { return drive_.filePath(QStringLiteral("Export.txt")); }
    QStringList entries() const {
        return QDir(drive_.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }

    QTemporaryDir drive_;
    QString connection_;
    const QByteArray kPrevious = "I,Precedente,0,0\r\n";
};

TEST_F(ExportSignalTest, ASignalKeepsThePreviousExportAndSetsTheExitStatus) {
    // Brand is written first; the missing tables after it make report lines
    // enough to fill the pipe of standard error, so the program is in the
    // middle of its export when the signal comes, whatever the machine.
    QStringList tables{QStringLiteral("Brand")};
    for (int i = 1; i < exporter::kSlotCount; ++i)
        tables << QStringLiteral("Manca%1_").arg(i) + QString(2000, u'x');
    for (const auto& [signal, status] :
         {std::pair{SIGINT, kAfterInterrupt}, std::pair{SIGTERM, kAfterTerminate}}) {
        SCOPED_TRACE(signal);
        PausedExport run(QStringList{"-c", connection_, "-o", output()} + tables);
        // The first line comes from the run: the signal handlers are in place.
        ASSERT_EQ(run.readLine(), QByteArray("Export Tabella Brand...\n"));
        ASSERT_EQ(::kill(run.pid(), signal), 0);
        QByteArray rest;
        EXPECT_EQ(run.finish(&rest), status);
        EXPECT_TRUE(rest.contains("interrupted")) << rest.constData();
        EXPECT_EQ(fileBytes(output()), kPrevious);
        // Nothing of the abandoned file is left beside it.
        EXPECT_EQ(entries(), QStringList({"Export.txt", "tables.db"}));
    }
}

TEST_F(ExportSignalTest, ASignalCancelsTheStatementThatIsRunning) {
    PausedExport run({"-c", connection_, "-o", output(), "Lenta"});
    ASSERT_EQ(run.readLine(), QByteArray("Export Tabella Lenta...\n"));
    ::usleep(300000);  // well into the count
    QElapsedTimer sinceSignal;
    sinceSignal.start();
    ASSERT_EQ(::kill(run.pid(), SIGINT), 0);
    EXPECT_EQ(run.finish(), kAfterInterrupt);
    // Without the cancel the count would go on for minutes.
    EXPECT_LT(sinceSignal.elapsed(), 20000);
    EXPECT_EQ(fileBytes(output()), kPrevious);
}

TEST_F(ExportSignalTest, ASecondSignalEndsTheProgramAtOnce) {
    PausedExport run({"-c", connection_, "-o", output(), "Lenta"});
    ASSERT_EQ(run.readLine(), QByteArray("Export Tabella Lenta...\n"));
    ASSERT_EQ(::kill(run.pid(), SIGINT), 0);
    ASSERT_EQ(::kill(run.pid(), SIGTERM), 0);
    // Whichever of the two counts as the second ends the program by itself,
    // unless the run had already stopped at the first.
    const int status = run.finish();
    EXPECT_TRUE(status == kAfterInterrupt || status == kAfterTerminate || status == -SIGINT ||
                status == -SIGTERM)
        << status;
    EXPECT_EQ(fileBytes(output()), kPrevious);
}

// A console host whose stop flag is raised by the test at a chosen moment,
// as a signal would raise it.
class StoppingHost : public ConsoleExportHost {
  public:
    enum class StopAt { FirstRow, CompletionMessage };
    StoppingHost(const QString& connection, std::FILE* out, StopAt at)
        : ConsoleExportHost(connection, {QStringLiteral("Brand")}, out, nullptr, false), at_(at) {}
    ~StoppingHost() override { stopFlag().store(false); }

    void rowsDone(std::int32_t rows) override {
        if (at_ == StopAt::FirstRow)
            stopFlag().store(true);
        ConsoleExportHost::rowsDone(rows);
    }
    void showMessage(const QString& text) override {
        // The completion message comes after the file was put in place.
        if (at_ == StopAt::CompletionMessage)
            stopFlag().store(true);
        ConsoleExportHost::showMessage(text);
    }

  private:
    StopAt at_;
};

TEST_F(ExportSignalTest, AStopCountsOnlyWhenTheRunSawIt) {
    std::FILE* out = std::fopen("/dev/null", "w");
    ASSERT_NE(out, nullptr);
    // Stopped in the middle of the table: the file is not written.
    {
        StoppingHost host(connection_, out, StoppingHost::StopAt::FirstRow);
        exporter::ExportRun run(host, output());
        run.RunExport();
        EXPECT_TRUE(host.stopSeen());
        EXPECT_EQ(fileBytes(output()), kPrevious);
    }
    // A stop that comes once the file is in place changes nothing: the
    // export is complete, and must not be called interrupted.
    {
        StoppingHost host(connection_, out, StoppingHost::StopAt::CompletionMessage);
        exporter::ExportRun run(host, output());
        run.RunExport();
        EXPECT_FALSE(host.stopSeen());
        EXPECT_EQ(run.reportCount(), 0);
        EXPECT_TRUE(fileBytes(output()).startsWith("I,Brand,1,1\r\n"));
    }
    std::fclose(out);
}

}  // namespace
}  // namespace brivano::cli::test
