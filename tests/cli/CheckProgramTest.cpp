// brivano-check run as a program on the files that brivano-export writes
// from every test database: what it says, and its exit status.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "ExportProcess.h"
#include "support/ReadBack.h"
#include "support/TestSupport.h"

namespace brivano::cli::test {
namespace {

using Environment = std::vector<std::pair<QString, QString>>;

const Environment kEnglish{{"LC_ALL", "C.UTF-8"}};
const Environment kItalian{{"LC_ALL", "it_IT.UTF-8"}};

class CheckProgramTest : public brivano::test::DatabaseTest {
  protected:
    // Exports `table` from the test's database into the export file, under
    // `locale`, and checks it under the same.
    ProcessResult exportAndCheck(const QString& table, const Environment& locale,
                                 const QStringList& checkOptions = {}) {
        const ProcessResult exported =
            runExport({"-q", "-c", connectionString(), "-o", file(), table}, home_.path(), locale);
        EXPECT_EQ(exported.exitCode, 0) << exported.err.toStdString();
        return runCheck(checkOptions + QStringList{file()}, home_.path(), locale);
    }
    QString file() const { return home_.filePath(QStringLiteral("out.txt")); }

    // Text in a table of many kinds of value, one row a line of the file:
    // row n is line 5 + n.
    QString tableOfTexts() {
        const QString table = tableName(QStringLiteral("check_texts"));
        runSetup({QStringLiteral("CREATE TABLE %1 (id INTEGER NOT NULL PRIMARY KEY,"
                                 " nota_più VARCHAR(60), codice CHAR(6), importo DECIMAL(10,2))")
                      .arg(table),
                  QStringLiteral("INSERT INTO %1 VALUES (1, 'semplice', 'A1', 12)").arg(table),
                  QStringLiteral("INSERT INTO %1 VALUES (2, 'con, virgola', 'A2', 3)").arg(table),
                  QStringLiteral("INSERT INTO %1 VALUES (3, 'riga\nnuova', 'A3', 4)").arg(table),
                  QStringLiteral("INSERT INTO %1 VALUES (4, 'a capo\r\nqui', 'A4', 5)").arg(table),
                  QStringLiteral("INSERT INTO %1 VALUES (5, 'fine', 'A5', 2.5)").arg(table)});
        return table;
    }

    QString plainTable() {
        const QString table = tableName(QStringLiteral("check_plain"));
        runSetup({QStringLiteral("CREATE TABLE %1 (id INTEGER NOT NULL PRIMARY KEY,"
                                 " nome VARCHAR(30), codice CHAR(6), quantità INTEGER)")
                      .arg(table),
                  QStringLiteral("INSERT INTO %1 VALUES (1, 'Vite', 'A-001', 120)").arg(table),
                  QStringLiteral("INSERT INTO %1 VALUES (2, 'Dado', 'A-002', NULL)").arg(table)});
        return table;
    }

    QTemporaryDir home_;
};

TEST_P(CheckProgramTest, APlainExportReadsBackWithoutProblems) {
    const QString table = plainTable();
    const ProcessResult checked = exportAndCheck(table, kItalian);
    EXPECT_EQ(checked.exitCode, 0) << checked.err.toStdString();
    EXPECT_EQ(checked.out, table.toUtf8() + ": 4 colonne, 2 righe, nessun problema\n");
    EXPECT_TRUE(checked.err.isEmpty()) << checked.err.toStdString();
}

TEST_P(CheckProgramTest, NamesTheLinesAndTheColumnOfEveryTextThatDoesNotReadBack) {
    if (!programsLocaleFollowsEnvironment())
        GTEST_SKIP() << "the programs run under this machine's regional settings only";
    const QString table = tableOfTexts();
    // Commas, a line feed and a CR LF in plain text; the decimal point is
    // no comma here.
    const ProcessResult checked = exportAndCheck(table, kEnglish, {"-v"});
    EXPECT_EQ(checked.exitCode, 1) << checked.err.toStdString();
    EXPECT_EQ(QString::fromUtf8(checked.out),
              table +
                  ": 4 righe ambigue (righe 7, 8, 9, 10: colonna nota_più)\n"
                  "  riga 7, colonna nota_più: più campi che colonne: una virgola dentro un "
                  "valore senza apici\n"
                  "  riga 8, colonna nota_più: un a capo (CR o LF da solo) dentro la riga\n"
                  "  riga 9, colonna nota_più: meno campi che colonne: la riga finisce dentro "
                  "un valore (un a capo CR LF nel testo)\n"
                  "  riga 10, colonna nota_più: seguito della riga 9, spezzata da un a capo "
                  "(CR LF) dentro un valore\n");
}

TEST_P(CheckProgramTest, UnderItalianSettingsADecimalNumberIsAmbiguousToo) {
    const QString table = tableOfTexts();
    const ProcessResult checked = exportAndCheck(table, kItalian);
    EXPECT_EQ(checked.exitCode, 1) << checked.err.toStdString();
    EXPECT_EQ(QString::fromUtf8(checked.out),
              table + ": 5 righe ambigue (righe 7, 8, 9, 10, 11: colonne nota_più, importo)\n");
}

TEST_P(CheckProgramTest, AFileCutShortIsAnIncompleteBlock) {
    const QString table = plainTable();
    ASSERT_EQ(exportAndCheck(table, kItalian).exitCode, 0);
    QFile cut(file());
    ASSERT_TRUE(cut.resize(cut.size() - 5));
    const ProcessResult checked = runCheck({"-v", file()}, home_.path(), kItalian);
    EXPECT_EQ(checked.exitCode, 1) << checked.err.toStdString();
    EXPECT_EQ(QString::fromUtf8(checked.out),
              table +
                  ": 4 colonne, 2 righe annunciate, 1 trovata: blocco incompleto; "
                  "1 riga ambigua (riga 7)\n"
                  "  riga 7: il file finisce dentro la riga\n");
}

TEST_P(CheckProgramTest, WithoutAFileItReadsTheWindowsExportFile) {
    if (!programsDriveIsTheTests())
        GTEST_SKIP() << "the default export file is the machine's own";
    const QString table = plainTable();
    const ProcessResult exported =
        runExport({"-q", "-c", connectionString(), table}, home_.path(), kItalian);
    ASSERT_EQ(exported.exitCode, 0) << exported.err.toStdString();
    const ProcessResult checked = runCheck({}, home_.path(), kItalian);
    EXPECT_EQ(checked.exitCode, 0) << checked.err.toStdString();
    EXPECT_TRUE(checked.out.endsWith("nessun problema\n")) << checked.out.toStdString();
}

TEST_P(CheckProgramTest, UnderItalianSettingsTheValuesTheFormatCarriesReadBack) {
    const QString table = tableName(QStringLiteral("check_italian"));
    const QString momentType = database().name == QStringLiteral("MariaDB")
                                   ? QStringLiteral("DATETIME")
                                   : QStringLiteral("TIMESTAMP");
    runSetup({QStringLiteral("CREATE TABLE %1 (id INTEGER NOT NULL PRIMARY KEY, nome VARCHAR(20),"
                             " giorno DATE, momento %2, importo DECIMAL(10,2))")
                  .arg(table, momentType),
              QStringLiteral("INSERT INTO %1 VALUES (1, 'Vite', '2026-12-07',"
                             " '2026-12-07 14:05:09', 120.00)")
                  .arg(table),
              QStringLiteral("INSERT INTO %1 VALUES (2, NULL, NULL, NULL, NULL)").arg(table)});
    ASSERT_EQ(exportAndCheck(table, kItalian).exitCode, 0);

    // A whole amount has no decimal comma: it is among what Italian
    // settings carry, as dates are.
    const brivano::test::ReaderSettings italian{
        1252, exporter::CommaSettings::of(QLocale(QLocale::Italian, QLocale::Italy))};
    using Row = std::vector<brivano::test::ReadEntry>;
    EXPECT_EQ(brivano::test::readBack(file(), italian).rowsOf(table),
              (std::vector<Row>{{"1", "Vite", "07/12/2026", "07/12/2026 14:05:09", "120"},
                                {"2", std::nullopt, std::nullopt, std::nullopt, std::nullopt}}));
}

INSTANTIATE_TEST_SUITE_P(Databases, CheckProgramTest,
                         ::testing::ValuesIn(brivano::test::testDatabases()),
                         brivano::test::databaseTestName);

struct RefusalCase {
    const char* what;
    QStringList arguments;
    QByteArray fileBytes;  // written to "file" first
    QString firstLine;     // of standard error
    bool usage;            // followed by the hint to --help
};

TEST(CheckProgram, RefusesWhatItCannotReadWithExitStatusTwo) {
    QTemporaryDir home;
    const QString file = home.filePath(QStringLiteral("file"));
    const std::vector<RefusalCase> cases = {
        {"an unknown option", {"-x"}, {}, "brivano-check: Unknown option 'x'.", true},
        {"two files", {"a", "b"}, {}, "brivano-check: one export file at a time", true},
        {"a file that is not there",
         {home.filePath("manca.txt")},
         {},
         "brivano-check: Impossibile leggere il file di esportazione " +
             home.filePath("manca.txt") + ": File o cartella inesistente",
         false},
        {"a folder",
         {home.path()},
         {},
         "brivano-check: Impossibile leggere il file di esportazione " + home.path() +
             ": È una cartella",
         false},
        {"an empty file",
         {file},
         "",
         "brivano-check: Il file " + file + " è vuoto: non è un file di esportazione",
         false},
        {"a file of something else",
         {file},
         "Nome;Cognome\r\n",
         "brivano-check: Il file " + file +
             " non è un file di esportazione: la sua prima riga non è l'intestazione di una "
             "tabella",
         false},
        {"no export file in the home folder",
         {},
         {},
         "brivano-check: Impossibile leggere il file di esportazione " +
             QDir(home.path()).filePath("Export.txt") + ": File o cartella inesistente",
         false},
    };
    for (const RefusalCase& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.arguments.isEmpty() && !programsDriveIsTheTests())
            continue;  // the default export file is the machine's own
        QFile target(file);
        ASSERT_TRUE(target.open(QIODevice::WriteOnly | QIODevice::Truncate));
        target.write(c.fileBytes);
        target.close();
        const ProcessResult result = runCheck(c.arguments, home.path());
        EXPECT_EQ(result.exitCode, 2);
        EXPECT_TRUE(result.out.isEmpty());
        const QString expected =
            c.firstLine + (c.usage ? "\nTry 'brivano-check --help'.\n" : QStringLiteral("\n"));
        EXPECT_EQ(result.err, expected);
    }
}

TEST(CheckProgram, PrintsItsHelpAndVersion) {
    QTemporaryDir home;
    const ProcessResult help = runCheck({"--help"}, home.path());
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.startsWith("Usage: brivano-check [-v] [FILE]\n"));
    const ProcessResult version = runCheck({"-V"}, home.path());
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out, "brivano-check 0.2.0\n");
}

}  // namespace
}  // namespace brivano::cli::test
