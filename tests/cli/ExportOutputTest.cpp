// Where brivano-export writes, and what the file system's faults do to it:
// the previous export is never lost, and every fault is plain.
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <thread>

#include "ExportProcessPosix.h"
#include "cli/ExportCommandLine.h"
#include "support/ReadBack.h"
#include "support/TestSupport.h"

namespace brivano::cli::test {
namespace {

class ExportOutputTest : public ::testing::Test {
  protected:
    ExportOutputTest() {
        const QString file = drive_.filePath(QStringLiteral("tables.db"));
        brivano::test::runStatements(
            QStringLiteral("Driver=SQLite3;Database=") + file,
            {QStringLiteral("create table Brand (Codice char(6), Nome varchar(30))"),
             QStringLiteral("insert into Brand values ('A-001', 'Vite'), ('A-002', "
                            "'Dado')")});
        connection_ = QStringLiteral("Provider=SQLite;Data Source=") + file;
    }

    ProcessResult exportTo(const QString& output, const QStringList& tables = {"Brand"}) {
        return runExport(QStringList{"-c", connection_, "-o", output} + tables, drive_.path());
    }
    QString path(const QString& name) const { return drive_.filePath(name); }
    void write(const QString& name, const QByteArray& bytes) const {
        QFile file(path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    QStringList entries() const {
        return QDir(drive_.path())
            .entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot,
                       QDir::Name);
    }

    QTemporaryDir drive_;
    QString connection_;
    const QByteArray kPrevious = "I,Precedente,0,0\r\n";
    const QByteArray kBrand =
        "I,Brand,1,1\r\nN,[Codice],[Nome]\r\nT,129,200\r\nS,6,30\r\nA,116,100\r\n"
        "D,'A-001',Vite\r\nD,'A-002',Dado\r\n";
};

TEST_F(ExportOutputTest, ASymlinkHasItsTargetReplacedAndStaysALink) {
    write(QStringLiteral("target.txt"), kPrevious);
    ASSERT_TRUE(QFile::link(QStringLiteral("target.txt"), path(QStringLiteral("link.txt"))));
    ASSERT_EQ(::chmod(QFile::encodeName(path(QStringLiteral("target.txt"))).constData(), 0640), 0);

    const ProcessResult result = exportTo(path(QStringLiteral("link.txt")));
    EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_TRUE(QFileInfo(path(QStringLiteral("link.txt"))).isSymLink());
    EXPECT_EQ(fileBytes(path(QStringLiteral("target.txt"))), kBrand);
    EXPECT_TRUE(brivano::test::readsBackUnambiguously(path(QStringLiteral("target.txt"))));
    // The new file keeps the permissions of the one it replaced.
    struct stat status {};
    ASSERT_EQ(::stat(QFile::encodeName(path(QStringLiteral("target.txt"))).constData(), &status),
              0);
    EXPECT_EQ(status.st_mode & 0777, 0640u);

    // A link to a file still to be written gets that file.
    ASSERT_TRUE(QFile::link(QStringLiteral("new.txt"), path(QStringLiteral("dangling.txt"))));
    EXPECT_EQ(exportTo(path(QStringLiteral("dangling.txt"))).exitCode, 0);
    EXPECT_EQ(fileBytes(path(QStringLiteral("new.txt"))), kBrand);
    EXPECT_TRUE(QFileInfo(path(QStringLiteral("dangling.txt"))).isSymLink());
}

TEST_F(ExportOutputTest, AFifoIsWrittenStraightThroughEvenBehindASymlink) {
    const QString fifo = path(QStringLiteral("pipe"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    ASSERT_TRUE(QFile::link(QStringLiteral("pipe"), path(QStringLiteral("to-pipe"))));
    QByteArray received;
    std::thread reader([&] {
        QFile file(fifo);
        if (file.open(QIODevice::ReadOnly))
            received = file.readAll();
    });
    const ProcessResult result = exportTo(path(QStringLiteral("to-pipe")));
    reader.join();
    EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_EQ(received, kBrand);
    QFileInfo info(fifo);
    EXPECT_FALSE(info.isFile());  // still the FIFO, not a file put in its place
    EXPECT_EQ(entries(), QStringList({"pipe", "tables.db", "to-pipe"}));
}

TEST_F(ExportOutputTest, AFolderOrSocketIsAUsageErrorAndNothingIsRead) {
    QDir(drive_.path()).mkdir(QStringLiteral("folder"));
    const ProcessResult folder = exportTo(path(QStringLiteral("folder")));
    EXPECT_EQ(folder.exitCode, kUsageError);
    EXPECT_TRUE(folder.err.contains(QStringLiteral("è una cartella"))) << folder.err.toStdString();
    EXPECT_FALSE(folder.err.contains(QStringLiteral("Export Tabella")));
    EXPECT_TRUE(QFileInfo(path(QStringLiteral("folder"))).isDir());
}

TEST_F(ExportOutputTest, AFullDeviceIsReportedWithItsReason) {
    if (!QFileInfo::exists(QStringLiteral("/dev/full")))
        GTEST_SKIP() << "this system has no /dev/full";
    const ProcessResult result = exportTo(QStringLiteral("/dev/full"));
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_TRUE(result.err.contains(QStringLiteral("Spazio esaurito sul dispositivo")))
        << result.err.toStdString();
    EXPECT_TRUE(result.err.contains(QStringLiteral("Esportazione non eseguita")));
    struct stat status {};
    ASSERT_EQ(::stat("/dev/full", &status), 0);
    EXPECT_TRUE(S_ISCHR(status.st_mode));  // still the device
}

TEST_F(ExportOutputTest, AFileSizeLimitIsAWriteErrorNotASignal) {
    write(QStringLiteral("Export.txt"), kPrevious);
    // Twenty-five tables of the same rows: more than the kilobyte allowed.
    QStringList tables;
    for (int i = 0; i < 25; ++i)
        tables << QStringLiteral("Brand");
    const ProcessResult result = runExportInShell(
        QStringLiteral("ulimit -f 1"),
        QStringList{"-c", connection_, "-o", path(QStringLiteral("Export.txt"))} + tables,
        drive_.path());
    EXPECT_EQ(result.exitCode, 1) << result.err.toStdString();
    EXPECT_TRUE(result.err.contains(QStringLiteral("File troppo grande")))
        << result.err.toStdString();
    EXPECT_EQ(fileBytes(path(QStringLiteral("Export.txt"))), kPrevious);
    EXPECT_EQ(entries(), QStringList({"Export.txt", "tables.db"}));
}

TEST_F(ExportOutputTest, AFailedTableLeavesNoBlockOnStandardOutput) {
    const ProcessResult result =
        runExport({"-c", connection_, "-o", "-", "Brand", "Manca", "Brand"}, drive_.path());
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.out, kBrand + kBrand);
}

TEST_F(ExportOutputTest, WarnsOfATablesValuesThatWillNotReadBackAsTheyWere) {
    brivano::test::runStatements(
        QStringLiteral("Driver=SQLite3;Database=") + path(QStringLiteral("tables.db")),
        {QStringLiteral("create table Note (Codice char(6), Testo varchar(40))"),
         // A comma and the word Null in unquoted text, a line feed in
         // quoted text, and two characters that 1252 does not have.
         QStringLiteral("insert into Note values ('A', 'uno, due'), ('B', 'Null'), "
                        "('C' || char(10) || 'D', 'ok'), ('Ā', 'Ω')")});
    const ProcessResult result =
        runExport({"-q", "-c", connection_, "-o", path(QStringLiteral("out.txt")), "Note", "Brand"},
                  drive_.path(), {{QStringLiteral("LC_ALL"), QStringLiteral("it_IT.UTF-8")}});
    EXPECT_EQ(result.exitCode, 0);
    // One line for Note, none for Brand, whose values are plain.
    EXPECT_EQ(result.err.toStdString(),
              "Attenzione: Note: 3 valori non si rileggeranno senza ambiguità; 2 caratteri "
              "sostituiti da \"?\" (la tabella codici non li contiene)\n");
}

}  // namespace
}  // namespace brivano::cli::test
