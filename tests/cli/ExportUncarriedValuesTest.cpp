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

}  // namespace
}  // namespace brivano::cli::test
