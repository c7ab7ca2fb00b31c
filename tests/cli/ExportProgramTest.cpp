// brivano-export as a program on any system: its exit statuses, the code
// page of what it writes, and the settings file read in the same code page.
// The paths are given on the command line, so nothing depends on where the
// system keeps the tool's own files.
#include <gtest/gtest.h>

#include <sqlite3.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "ExportProcess.h"

namespace brivano::cli::test {
namespace {

using Environment = std::vector<std::pair<QString, QString>>;
// Italian regional settings: code page 1252 on either system.
const Environment kItalian{{QStringLiteral("LC_ALL"), QStringLiteral("it_IT.UTF-8")}};

class ExportProgramTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(folder_.isValid());
        ASSERT_TRUE(QDir(folder_.path()).mkdir(QStringLiteral("Città")));
        database_ = folder_.filePath(QStringLiteral("Città/tables.db"));
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(database_.toUtf8().constData(), &db), SQLITE_OK);
        const char* setup =
            "create table Nomi (Codice integer, Nome varchar(20));"
            "insert into Nomi values (1, 'Łukasz'), (2, 'Niccolò');"
            "create table Brand (Codice integer);"
            "insert into Brand values (7);";
        char* message = nullptr;
        const int status = sqlite3_exec(db, setup, nullptr, nullptr, &message);
        sqlite3_close(db);
        ASSERT_EQ(status, SQLITE_OK) << (message != nullptr ? message : "");
        sqlite3_free(message);
    }

    QString path(const QString& name) const { return folder_.filePath(name); }
    QString connection() const {
        return QStringLiteral("Provider=SQLite;Data Source=") + database_;
    }
    ProcessResult run(const QStringList& arguments) const {
        return runExport(arguments, folder_.path(), kItalian);
    }

    QTemporaryDir folder_;
    QString database_;
};

TEST_F(ExportProgramTest, ExitsZeroAndWritesWhatCodePage1252LacksAsAQuestionMarkWithAWarning) {
    const ProcessResult result = run({"-q", "-c", connection(), "-o", path("out.txt"), "Nomi"});
    EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
    const QByteArray bytes = fileBytes(path("out.txt"));
    // "Ł" is not in 1252: a question mark, never the look-alike "L"; "ò" is.
    EXPECT_TRUE(bytes.contains("?ukasz")) << bytes.toStdString();
    EXPECT_FALSE(bytes.contains("Lukasz"));
    EXPECT_TRUE(bytes.contains("Niccol\xF2")) << bytes.toStdString();
    EXPECT_EQ(result.err.toStdString(),
              "Attenzione: Nomi: 1 caratteri sostituiti da \"?\" (la tabella codici non li "
              "contiene)\n");
}

TEST_F(ExportProgramTest, StandardOutputGetsTheSameBytesAsTheFile) {
    ASSERT_EQ(run({"-q", "-c", connection(), "-o", path("out.txt"), "Nomi", "Brand"}).exitCode, 0);
    const ProcessResult piped = run({"-q", "-c", connection(), "-o", "-", "Nomi", "Brand"});
    EXPECT_EQ(piped.exitCode, 0);
    EXPECT_EQ(piped.out, fileBytes(path("out.txt")));
    EXPECT_TRUE(piped.out.contains("\r\n"));
}

TEST_F(ExportProgramTest, ExitsOneWhenATableFailsAndExportsTheOthers) {
    const ProcessResult result =
        run({"-q", "-c", connection(), "-o", path("out.txt"), "Manca", "Brand"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_TRUE(result.err.contains(QStringLiteral("Manca"))) << result.err.toStdString();
    EXPECT_TRUE(fileBytes(path("out.txt")).contains("Brand"));
}

TEST_F(ExportProgramTest, ExitsTwoOnAUsageErrorAndTouchesNoFile) {
    const QByteArray previous = "previous\r\n";
    {
        QFile file(path("out.txt"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(previous);
    }
    for (const QStringList& arguments :
         {QStringList{"--no-such-option"}, QStringList{"-c", connection(), "-o", path("out.txt")},
          QStringList{"-c", connection(), "-o", folder_.path(), "Brand"},
          QStringList{"-s", path("missing.set"), "-o", path("out.txt"), "Brand"}}) {
        SCOPED_TRACE(arguments.join(u' ').toStdString());
        const ProcessResult result = run(arguments);
        EXPECT_EQ(result.exitCode, 2) << result.err.toStdString();
        EXPECT_TRUE(result.err.startsWith(QStringLiteral("brivano-export: ")))
            << result.err.toStdString();
    }
    EXPECT_EQ(fileBytes(path("out.txt")), previous);
    EXPECT_EQ(run({"--version"}).exitCode, 0);
}

TEST_F(ExportProgramTest, AConnectionThatCannotOpenExitsOneAndKeepsThePreviousFile) {
    const QByteArray previous = "previous\r\n";
    {
        QFile file(path("out.txt"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(previous);
    }
    const ProcessResult result =
        run({"-q", "-c", QStringLiteral("Provider=SQLite;Data Source=") + path("manca/x.db"), "-o",
             path("out.txt"), "Brand"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_FALSE(result.err.isEmpty());
    EXPECT_EQ(fileBytes(path("out.txt")), previous);
}

TEST_F(ExportProgramTest, ReadsTheSettingsFileInTheSystemsCodePage) {
    // "Città" in 1252 is one byte per letter: E0 for "à".
    QByteArray line = "\"Provider=SQLite;Data Source=" + folder_.path().toLatin1() +
                      "/Citt\xE0/tables.db\",altro\r\n";
    {
        QFile file(path("Connection.set"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(line);
    }
    const ProcessResult result =
        run({"-q", "-s", path("Connection.set"), "-o", path("out.txt"), "Brand"});
    EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_TRUE(fileBytes(path("out.txt")).contains("Brand"));
}

}  // namespace
}  // namespace brivano::cli::test
