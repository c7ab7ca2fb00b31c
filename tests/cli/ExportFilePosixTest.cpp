// brivano-export and the file it replaces, as Linux sees them: a run killed
// in the middle leaves nothing but the previous export, two runs on one file
// never both report success, and a replacement the disk could not keep is
// reported.
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <csignal>

#include "ExportProcess.h"
#include "export/ExportHost.h"
#include "support/TestSupport.h"

namespace brivano::cli::test {
namespace {

constexpr int kExportFailed = 1;
constexpr qint64 kBigTableBytes = qint64{4} << 20;
const QString kInUse = QStringLiteral(" è in uso da un'altra esportazione");
const QString kNotSynced =
    QStringLiteral(" è stato sostituito, ma la sua cartella non è stata scritta sul disco");

class ExportFilePosixTest : public ::testing::Test {
  protected:
    ExportFilePosixTest() {
        const QString file = drive_.filePath(QStringLiteral("tables.db"));
        brivano::test::runStatements(
            QStringLiteral("Driver=SQLite3;Database=") + file,
            {QStringLiteral("create table Brand (Codice char(6), Nome varchar(30))"),
             QStringLiteral("insert into Brand values ('A-001', 'Vite'), ('A-002', 'Dado')"),
             // Some megabytes of lines: several full buffers reach the file.
             QStringLiteral("create table Grande (Testo varchar(200))"),
             QStringLiteral("insert into Grande with recursive c(x) as (select 1 union all "
                            "select x + 1 from c where x < 50000) select printf('%0100d', x) "
                            "from c"),
             QStringLiteral("create table %1 (Id integer)").arg(longName()),
             QStringLiteral("insert into %1 values (1)").arg(longName())});
        connection_ = QStringLiteral("Provider=SQLite;Data Source=") + file;
        QFile previous(output());
        EXPECT_TRUE(previous.open(QIODevice::WriteOnly));
        previous.write(kPrevious);
    }

    QString output() const { return drive_.filePath(QStringLiteral("Export.txt")); }
    QStringList arguments(const QStringList& tables) const {
        return QStringList{"-c", connection_, "-o", output()} + tables;
    }
    QStringList entries() const {
        return QDir(drive_.path())
            .entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot,
                       QDir::Name);
    }
    // A table whose progress lines are long enough to fill the pipe of
    // standard error after a few of them.
    static QString longName() { return QStringLiteral("Lunga") + QString(3000, u'x'); }

    QTemporaryDir drive_;
    QString connection_;
    const QByteArray kPrevious = "I,Precedente,0,0\r\n";
    const QByteArray kBrand =
        "I,Brand,1,1\r\nN,[Codice],[Nome]\r\nT,129,200\r\nS,6,30\r\nA,116,100\r\n"
        "D,'A-001',Vite\r\nD,'A-002',Dado\r\n";
    const QStringList kLeft{".Export.txt.brivano-lock", "Export.txt", "tables.db"};
};

// The size of the unnamed file that the program `pid` writes in `folder`,
// as its descriptors show it; -1 when it has none open.
qint64 unnamedFileSize(pid_t pid, const QString& folder) {
    const QString descriptors = QStringLiteral("/proc/%1/fd").arg(pid);
    // An unnamed file shows as "<folder>/#<inode> (deleted)".
    const QByteArray unnamed = QFile::encodeName(folder) + "/#";
    for (const QString& fd :
         QDir(descriptors).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot)) {
        const QByteArray link = QFile::encodeName(descriptors + u'/' + fd);
        char target[4096];
        const ssize_t length = ::readlink(link.constData(), target, sizeof target);
        if (length <= 0 || !QByteArray(target, length).startsWith(unnamed))
            continue;
        struct stat status {};
        if (::stat(link.constData(), &status) == 0)
            return status.st_size;
    }
    return -1;
}

TEST_F(ExportFilePosixTest, AKilledRunLeavesOnlyThePreviousExportAndTheNextRunSucceeds) {
    // Grande is written first; the missing tables after it make report
    // lines enough to fill the pipe of standard error, so the program is
    // still in the middle of its export when it is killed.
    QStringList tables{QStringLiteral("Grande")};
    for (int i = 1; i < exporter::kSlotCount; ++i)
        tables << QStringLiteral("Manca%1_").arg(i) + QString(2000, u'x');
    for (int kill = 1; kill <= 3; ++kill) {
        SCOPED_TRACE(kill);
        PausedExport run(arguments(tables));
        ASSERT_EQ(run.readLine(), QByteArray("Export Tabella Grande...\n"));
        ASSERT_EQ(run.readLine(),
                  QByteArray("Export Tabella Grande...Completato (50000 Records)\n"));
        // Grande's block is in the new file, which has no name in the folder.
        EXPECT_GT(unnamedFileSize(run.pid(), drive_.path()), kBigTableBytes);
        EXPECT_EQ(entries(), kLeft);
        ASSERT_EQ(::kill(run.pid(), SIGKILL), 0);
        EXPECT_EQ(run.finish(), -SIGKILL);
        EXPECT_EQ(fileBytes(output()), kPrevious);
        EXPECT_EQ(entries(), kLeft);
        EXPECT_EQ(QFileInfo(drive_.filePath(kLeft[0])).size(), 0);
    }
    const ProcessResult next = runExport(arguments({"Brand"}), drive_.path());
    EXPECT_EQ(next.exitCode, 0) << next.err.toStdString();
    EXPECT_EQ(fileBytes(output()), kBrand);
    EXPECT_EQ(entries(), kLeft);
}

TEST_F(ExportFilePosixTest, ASecondRunOnTheSameFileIsRefusedAndTheFirstOneCompletes) {
    // The first run's progress lines fill the pipe of standard error: it
    // holds the file for as long as the test does not read them.
    PausedExport first(arguments(QStringList(exporter::kSlotCount, longName())));
    ASSERT_EQ(first.readLine(), "Export Tabella " + longName().toLatin1() + "...\n");

    const ProcessResult second = runExport(arguments({"Brand"}), drive_.path());
    EXPECT_EQ(second.exitCode, kExportFailed);
    EXPECT_TRUE(second.err.contains(QStringLiteral("Il file di esportazione ") + output() + kInUse))
        << second.err.toStdString();
    EXPECT_TRUE(second.err.contains(QStringLiteral("Esportazione non eseguita")))
        << second.err.toStdString();
    EXPECT_FALSE(second.err.contains(QStringLiteral("Completat"))) << second.err.toStdString();
    EXPECT_EQ(fileBytes(output()), kPrevious);

    QByteArray rest;
    EXPECT_EQ(first.finish(&rest), 0) << rest.right(300).constData();
    const QByteArray written = fileBytes(output());
    const QByteArray block =
        "I," + longName().toLatin1() + ",0,0\r\nN,[Id]\r\nT,3\r\nS,4\r\nA,116\r\nD,1\r\n";
    EXPECT_EQ(written, block.repeated(exporter::kSlotCount));
    EXPECT_EQ(entries(), kLeft);

    // The file is free again once the first run is over.
    const ProcessResult third = runExport(arguments({"Brand"}), drive_.path());
    EXPECT_EQ(third.exitCode, 0) << third.err.toStdString();
    EXPECT_EQ(fileBytes(output()), kBrand);
}

// brivano-export under strace, which records the calls it is given in a log
// and makes one of them fail.
class InjectedFaultTest : public ExportFilePosixTest {
  protected:
    ProcessResult exportUnderStrace(const QStringList& options) {
        const QString strace = QStandardPaths::findExecutable(QStringLiteral("strace"));
        if (strace.isEmpty())
            ADD_FAILURE() << "strace is not installed (scripts/setup installs it)";
        return runExportUnder(QStringList{strace, "-f", "-qq", "-o", log()} + options,
                              arguments({"Brand"}), drive_.path());
    }
    // The `nth` fsync of the run fails with EIO; the calls that replace the
    // file go to the log.
    ProcessResult exportWithFailingSync(int nth) {
        return exportUnderStrace({"-e", "trace=fsync,linkat,rename,renameat,renameat2", "-e",
                                  QStringLiteral("inject=fsync:error=EIO:when=%1").arg(nth)});
    }
    QString log() const { return logs_.filePath(QStringLiteral("strace.log")); }

    QTemporaryDir logs_;
};

TEST_F(InjectedFaultTest, WithoutUnnamedFilesTheRunGoesThroughAHiddenNameAndLeavesNothing) {
    // Only the calls on the folder are traced: the second that opens it is
    // the one that asks for an unnamed file, which fails as on a file system
    // that has none. The run goes on with a hidden name, and nothing of it
    // stays.
    const ProcessResult result = exportUnderStrace(
        {"-P", drive_.path(), "-e", "trace=openat", "-e", "inject=openat:error=EOPNOTSUPP:when=2"});
    EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_EQ(fileBytes(output()), kBrand);
    EXPECT_EQ(entries(), kLeft);
    const QByteArray calls = fileBytes(log());
    QList<QByteArray> failed;
    for (const QByteArray& call : calls.split('\n')) {
        if (call.contains("(INJECTED)"))
            failed << call;
    }
    ASSERT_EQ(failed.size(), 1) << calls.constData();
    EXPECT_TRUE(failed[0].contains("O_TMPFILE")) << calls.constData();
}

TEST_F(InjectedFaultTest, AFolderThatCannotBeSyncedAfterTheReplacementIsACompletionWithErrors) {
    const ProcessResult result = exportWithFailingSync(2);
    // The export is in place: the run completed, but says what went wrong.
    EXPECT_EQ(result.exitCode, kExportFailed) << result.err.toStdString();
    EXPECT_EQ(fileBytes(output()), kBrand);
    EXPECT_TRUE(result.err.contains(QStringLiteral("Il file di esportazione ") + output() +
                                    kNotSynced + QStringLiteral(": ")))
        << result.err.toStdString();
    EXPECT_TRUE(result.err.contains(QStringLiteral("Esportazione completata con errori")))
        << result.err.toStdString();
    EXPECT_FALSE(result.err.contains(QStringLiteral("non eseguita"))) << result.err.toStdString();
    EXPECT_EQ(entries(), kLeft);

    // The order that makes the replacement durable: the file's bytes on the
    // disk, its hidden name, the rename over the old file, then the folder.
    const QList<QByteArray> calls = fileBytes(log()).split('\n');
    QStringList order;
    for (const QByteArray& call : calls) {
        for (const char* name : {"fsync(", "linkat(", "rename("}) {
            if (call.contains(name))
                order << QString::fromLatin1(name);
        }
        if (call.contains("renameat"))
            order << QStringLiteral("rename(");
    }
    EXPECT_EQ(order.join(u' ').toStdString(), "fsync( linkat( rename( fsync(")
        << fileBytes(log()).constData();
    EXPECT_TRUE(fileBytes(log()).contains("(INJECTED)"));
}

TEST_F(InjectedFaultTest, AFileThatCannotBeSyncedDoesNotReplaceThePreviousExport) {
    const ProcessResult result = exportWithFailingSync(1);
    EXPECT_EQ(result.exitCode, kExportFailed) << result.err.toStdString();
    EXPECT_EQ(fileBytes(output()), kPrevious);
    EXPECT_TRUE(
        result.err.contains(QStringLiteral("Impossibile scrivere il file di esportazione ") +
                            output() + QStringLiteral(": ")))
        << result.err.toStdString();
    EXPECT_TRUE(result.err.contains(QStringLiteral("Esportazione non eseguita")))
        << result.err.toStdString();
    EXPECT_EQ(entries(), kLeft);
}

TEST_F(ExportFilePosixTest, AHiddenFileLeftBesideTheExportIsRemovedOnlyWhenItsRunIsGone) {
    const QString leftover = drive_.filePath(QStringLiteral(".Export.txt.brivano-k1LLed"));
    // While another run holds the file, a hidden file that comes beside it
    // is that run's own.
    {
        PausedExport holder(arguments(QStringList(exporter::kSlotCount, longName())));
        ASSERT_EQ(holder.readLine(), "Export Tabella " + longName().toLatin1() + "...\n");
        {
            QFile file(leftover);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write("I,Parziale,0,0\r\n");
        }
        const ProcessResult refused = runExport(arguments({"Brand"}), drive_.path());
        EXPECT_EQ(refused.exitCode, kExportFailed);
        EXPECT_TRUE(QFile::exists(leftover));
        ::kill(holder.pid(), SIGKILL);
        EXPECT_EQ(holder.finish(), -SIGKILL);
    }
    const ProcessResult next = runExport(arguments({"Brand"}), drive_.path());
    EXPECT_EQ(next.exitCode, 0) << next.err.toStdString();
    EXPECT_EQ(fileBytes(output()), kBrand);
    EXPECT_EQ(entries(), kLeft);
}

}  // namespace
}  // namespace brivano::cli::test
