// The table block writer against real SQLite files through the ODBC driver.
#include <gtest/gtest.h>

#include "SqliteDatabase.h"
#include "WriterFixture.h"
#include "db/connect/ConnectionFactory.h"
#include "support/ReadBack.h"

namespace brivano::test {
namespace {

class WriterTest : public WriterFixture {
  protected:
    QByteArray write(const QStringList& tables) {
        auto connection = db::createConnection(database.connectionString());
        connection->open(database.connectionString());
        QByteArray written = writeTables(connection.get(), tables);
        connection->close();
        return written;
    }

    SqliteDatabase database;
};

TEST_F(WriterTest, TheWorkedExampleIsWrittenByteForByte) {
    database.run({
        "CREATE TABLE Prodotti (Codice CHAR(6) NOT NULL, Descrizione NCHAR(40),"
        " Quantita INTEGER, Modificato TIMESTAMP)",
        "INSERT INTO Prodotti VALUES ('A-001 ', 'Vite 4 mm', 120, '2026-12-07 10:15:00')",
        "INSERT INTO Prodotti VALUES ('A-002', '  Rondella d''acciaio  ', NULL,"
        " '2026-12-01 08:30:00')",
        "CREATE TABLE Vuota (Codice CHAR(6))",
    });
    // Quantita holds a null, so unlike Codice it is nullable (116, not 20).
    EXPECT_EQ(write({"Prodotti", "Vuota"}),
              "I,Prodotti,3,1\r\n"
              "N,[Codice],[Descrizione],[Quantita],[Modificato]\r\n"
              "T,129,130,3,135\r\n"
              "S,6,40,4,16\r\n"
              "A,20,116,116,116\r\n"
              "D,'A-001','Vite 4 mm',120,'07/12/2026 10:15:00'\r\n"
              "D,'A-002','Rondella d acciaio',Null,'01/12/2026 08:30:00'\r\n"
              "I,Vuota,0,0\r\n");
    EXPECT_TRUE(readsBackUnambiguously(exportPath()));
    EXPECT_EQ(counts, (std::vector<std::int32_t>{2, 0}));
    EXPECT_TRUE(reported.isEmpty()) << reported.join('\n').toStdString();
}

TEST_F(WriterTest, AnEmptyTableIsItsHeaderAndLeavesTheRowCountAlone) {
    database.run({"CREATE TABLE Vuota (X INTEGER, Y TEXT)"});
    EXPECT_EQ(write({"Vuota"}), "I,Vuota,0,0\r\n");
    EXPECT_EQ(counts, std::vector<std::int32_t>{0});
    EXPECT_EQ(host.tableStatus, QStringList{"Export Tabella Vuota; TotRecors: "});
    EXPECT_TRUE(host.rowsStatus.isEmpty());
    EXPECT_EQ(host.yields, 0);
}

TEST_F(WriterTest, OneColumnAndOneRowHasTheSameHeaderAsAnEmptyTable) {
    database.run({"CREATE TABLE Uno (X INTEGER NOT NULL)", "INSERT INTO Uno VALUES (7)"});
    EXPECT_EQ(write({"Uno"}), "I,Uno,0,0\r\nN,[X]\r\nT,3\r\nS,4\r\nA,20\r\nD,7\r\n");
    EXPECT_TRUE(readsBackUnambiguously(exportPath()));
    EXPECT_EQ(counts, std::vector<std::int32_t>{1});
    EXPECT_EQ(host.tableStatus.last(), "Export Tabella Uno; TotRecors: 1");
}

TEST_F(WriterTest, TheStatusLineCountsEveryRowAndTheWriterYieldsAfterEach) {
    QStringList setup{"CREATE TABLE Dieci (A INTEGER, B VARCHAR(5), C REAL)"};
    for (int i = 1; i <= 10; ++i)
        setup << QStringLiteral("INSERT INTO Dieci VALUES (%1, 'r%1', %1.5)").arg(i);
    database.run(setup);
    const QByteArray written = write({"Dieci"});
    EXPECT_TRUE(written.startsWith("I,Dieci,2,9\r\nN,[A],[B],[C]\r\n")) << written.toStdString();
    EXPECT_TRUE(written.endsWith("D,9,r9,9,5\r\nD,10,r10,10,5\r\n")) << written.toStdString();
    EXPECT_EQ(written.count("\r\n"), 15);
    EXPECT_EQ(counts, std::vector<std::int32_t>{10});
    EXPECT_EQ(host.tableStatus, QStringList({"Export Tabella Dieci; TotRecors: ",
                                             "Export Tabella Dieci; TotRecors: 10"}));
    EXPECT_EQ(host.rowsDoneCalls, (std::vector<std::int32_t>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
    EXPECT_EQ(host.rowsStatus, QStringList{" Elaborati:10"});
    EXPECT_EQ(host.yields, 10);
}

TEST_F(WriterTest, FixedLengthTextIsTrimmedAndCleanedVariableLengthTextIsNot) {
    database.run({
        "CREATE TABLE Testi (Fissa CHAR(10), Unicode NCHAR(10), Variabile VARCHAR(10),"
        " Nazionale NVARCHAR(10))",
        "INSERT INTO Testi VALUES ('abc' || char(13), 'a' || char(13) || char(10) || 'b',"
        " ' a,''b'' ', ' a,''b'' ')",
        "INSERT INTO Testi VALUES ('   ', '', 'Null', '')",
        "INSERT INTO Testi VALUES (char(9) || 'x' || char(9), 'it''s', '\"q\"', 'x' || char(13))",
    });
    const QByteArray written = write({"Testi"});
    EXPECT_TRUE(
        written.startsWith("I,Testi,3,2\r\n"
                           "N,[Fissa],[Unicode],[Variabile],[Nazionale]\r\n"
                           "T,129,130,200,202\r\n"))
        << written.toStdString();
    EXPECT_TRUE(
        written.endsWith("D,'abc ','a \nb', a,'b' , a,'b' \r\n"
                         "D,'','',Null,\r\n"
                         "D,'\tx\t','it s',\"q\",x\r\r\n"))
        << written.toStdString();
}

TEST_F(WriterTest, TextIsWrittenUpToANulByteOnBothSqlitePathsAndTheCutIsReported) {
    database.run({
        "CREATE TABLE Nul (Fissa CHAR(10), Variabile VARCHAR(10))",
        "INSERT INTO Nul VALUES (cast(x'20616220006364' as text), cast(x'6100' as text))",
        "INSERT INTO Nul VALUES ('intera', 'b')",
    });
    // The driver hands over each text up to its NUL; the provider sees the
    // rest and reports it. A blank before the NUL is trimmed either way.
    QString provider = database.connectionString();
    provider.replace(QStringLiteral("Driver=SQLite3;Database="),
                     QStringLiteral("Provider=SQLite;Data Source="));
    for (const QString& connectionString : {database.connectionString(), provider}) {
        SCOPED_TRACE(connectionString.toStdString());
        reported.clear();
        auto connection = db::createConnection(connectionString);
        connection->open(connectionString);
        const QByteArray written = writeTables(connection.get(), {"Nul"});
        EXPECT_TRUE(written.endsWith("D,'ab',a\r\nD,'intera',b\r\n")) << written.toStdString();
        const QStringList cut =
            connectionString == provider
                ? QStringList{"La colonna Fissa contiene un carattere NUL: il testo è scritto "
                              "solo fino a quel punto",
                              "La colonna Variabile contiene un carattere NUL: il testo è "
                              "scritto solo fino a quel punto"}
                : QStringList{};
        EXPECT_EQ(reported, cut);
    }
}

TEST_F(WriterTest, ValuesTakeTheirItalianTextForms) {
    database.run({
        "CREATE TABLE Valori (Prezzo REAL, Importo NUMERIC(10,2), Giorno DATE, Ora TIME,"
        " Attivo BOOLEAN, Dati BLOB, Negativo BIGINT, Mezzanotte TIMESTAMP)",
        "INSERT INTO Valori VALUES (1234.5, '12.50', '2026-12-07', '08:30:05', 1, X'00AB10',"
        " -9000000000, '2026-12-07 00:00:00')",
    });
    const QByteArray written = write({"Valori"});
    EXPECT_TRUE(written.endsWith(
        "D,1234,5,12,5,07/12/2026,08:30:05,True,00AB10,-9000000000,'07/12/2026'\r\n"))
        << written.toStdString();
}

TEST_F(WriterTest, ATableOfThreeHundredColumnsIsWrittenInFull) {
    constexpr int kColumns = 300;
    QStringList columns;
    QStringList values;
    QByteArray names = "N";
    QByteArray data = "D";
    for (int k = 0; k < kColumns; ++k) {
        columns << QStringLiteral("c%1 INTEGER").arg(k);
        values << QString::number(k);
        names += ",[c" + QByteArray::number(k) + "]";
        data += "," + QByteArray::number(k);
    }
    database.run({"CREATE TABLE Larga (" + columns.join(',') + ")",
                  "INSERT INTO Larga VALUES (" + values.join(',') + ")"});
    const QByteArray written = write({"Larga"});
    EXPECT_TRUE(written.startsWith("I,Larga,299,0\r\n" + names + "\r\n"))
        << written.left(200).toStdString();
    EXPECT_TRUE(written.endsWith("\r\n" + data + "\r\n"));
    EXPECT_TRUE(reported.isEmpty()) << reported.join('\n').toStdString();
}

TEST_F(WriterTest, AFailedQueryWritesNoBlockAndTheNextTableFollows) {
    database.run({"CREATE TABLE Vuota (X INTEGER)"});
    EXPECT_EQ(write({"Mancante", "Vuota"}), "I,Vuota,0,0\r\n");
    EXPECT_EQ(counts, (std::vector<std::int32_t>{0, 0}));
    ASSERT_EQ(reported.size(), 1);
    EXPECT_TRUE(reported[0].contains("no such table")) << reported[0].toStdString();
    // The status line names a table whose query failed all the same.
    EXPECT_EQ(host.tableStatus, QStringList({"Export Tabella Mancante; TotRecors: ",
                                             "Export Tabella Vuota; TotRecors: "}));
}

}  // namespace
}  // namespace brivano::test
