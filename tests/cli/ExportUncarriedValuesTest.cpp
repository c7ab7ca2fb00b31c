// Values the export file cannot carry, from SQLite through its built-in
// provider and through its ODBC driver: a text with a NUL byte, infinite
// amounts. Both paths write the same bytes and report what they left out.
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "ExportProcess.h"
#include "support/TestSupport.h"

namespace brivano::cli::test {
namespace {

class ExportUncarriedValuesTest : public ::testing::Test {
  protected:
    ExportUncarriedValuesTest() {
        brivano::test::runStatements(
            QStringLiteral("Driver=SQLite3;Database=") + database(),
            {QStringLiteral("create table Voci (Nota text, Importo numeric(10,2))"),
             QStringLiteral("insert into Voci values (cast(x'61620063' as text), 1e400),"
                            " ('intera', -1e400), ('tre', 3)")});
    }
    QString database() const { return drive_.filePath(QStringLiteral("voci.db")); }
    ProcessResult exportWith(const QString& connection, const QString& output) {
        return runExport({"-c", connection, "-o", drive_.filePath(output), "Voci"}, drive_.path());
    }

    QTemporaryDir drive_;
};

TEST_F(ExportUncarriedValuesTest, BothSqlitePathsWriteTheTextBeforeANulAndNoInfinity) {
    const ProcessResult builtIn =
        exportWith(QStringLiteral("Provider=SQLite;Data Source=") + database(), "builtin.txt");
    const ProcessResult odbc =
        exportWith(QStringLiteral("Driver=SQLite3;Database=") + database(), "odbc.txt");
    const QByteArray expected =
        "I,Voci,1,2\r\nN,[Nota],[Importo]\r\nT,201,131\r\nS,2147483647,19\r\nA,228,116\r\n"
        "D,ab,\r\nD,intera,\r\nD,tre,3\r\n";
    EXPECT_EQ(fileBytes(drive_.filePath("builtin.txt")), expected);
    EXPECT_EQ(fileBytes(drive_.filePath("odbc.txt")), expected);

    // The infinities are reported on both paths; the NUL only where the
    // provider sees it: the ODBC driver hands over "ab" alone.
    const QString infinite = QStringLiteral(
        "Voci - La colonna Importo contiene \"Inf\", che non è un numero decimale "
        "valido\nVoci - La colonna Importo contiene \"-Inf\", che non è un numero "
        "decimale valido\n");
    EXPECT_EQ(builtIn.exitCode, 1);
    EXPECT_TRUE(builtIn.err.contains(QStringLiteral(
        "Voci - La colonna Nota contiene un carattere NUL: il testo è scritto solo fino a quel "
        "punto\n")))
        << builtIn.err.toStdString();
    EXPECT_TRUE(builtIn.err.contains(infinite)) << builtIn.err.toStdString();
    EXPECT_EQ(odbc.exitCode, 1);
    EXPECT_TRUE(odbc.err.contains(infinite)) << odbc.err.toStdString();
}

// Every database that can hold a NUL in text: the text up to it on every
// path, the cut reported wherever the provider hands the whole text over.
class ExportNulTextTest : public brivano::test::DatabaseTest {
  protected:
    QTemporaryDir home_;
};

TEST_P(ExportNulTextTest, ATextIsWrittenUpToItsNulAndTheCutIsReported) {
    if (database().name.startsWith(u"PostgreSQL"))
        return;  // its text types refuse a NUL byte
    const QString table = tableName(QStringLiteral("nul_text"));
    const bool sqlite = database().kind != brivano::test::TestDatabase::Kind::Server;
    const QString nul =
        sqlite ? QStringLiteral("cast(x'61620063' as text)") : QStringLiteral("x'61620063'");
    runSetup({QStringLiteral("CREATE TABLE %1 (id INTEGER, nota VARCHAR(10))").arg(table),
              QStringLiteral("INSERT INTO %1 VALUES (1, %2), (2, 'intera')").arg(table, nul)});
    const QString output = home_.filePath(QStringLiteral("out.txt"));
    const ProcessResult result =
        runExport({"-c", connectionString(), "-o", output, table}, home_.path());
    EXPECT_TRUE(fileBytes(output).endsWith("D,1,ab\r\nD,2,intera\r\n"));
    // The SQLite ODBC driver gives "ab" alone: nothing is left to report.
    const bool driverCuts = database().kind == brivano::test::TestDatabase::Kind::SqliteOdbc;
    EXPECT_EQ(result.exitCode, driverCuts ? 0 : 1) << result.err.toStdString();
    EXPECT_EQ(result.err.contains(
                  QStringLiteral("La colonna nota contiene un carattere NUL: il testo è scritto "
                                 "solo fino a quel punto")),
              !driverCuts)
        << result.err.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Databases, ExportNulTextTest,
                         ::testing::ValuesIn(brivano::test::testDatabases()),
                         brivano::test::databaseTestName);

}  // namespace
}  // namespace brivano::cli::test
