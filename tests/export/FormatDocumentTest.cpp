// docs/export-format.md shows real exports: each example there is written
// again here, by the engine, from the tables it describes, and must be the
// same bytes. The document cannot drift from the code.
#include <gtest/gtest.h>

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <map>

#include "RecordingHost.h"
#include "SqliteDatabase.h"
#include "db/connect/ConnectionFactory.h"
#include "export/ExportFile.h"
#include "export/TableBlockWriter.h"
#include "platform/AnsiCodePage.h"

namespace brivano::test {
namespace {

struct Example {
    QString name;
    QString locale;
    QByteArray lines;  // as the document shows them, with CR LF added
};

// The examples of the document: a comment `<!-- export-example NAME
// LOCALE -->` before a fenced block of lines.
std::vector<Example> documentExamples() {
    QFile file(QStringLiteral(BRIVANO_SOURCE_DIR "/docs/export-format.md"));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(file.readAll());
    static const QRegularExpression example(
        QStringLiteral("<!-- export-example (\\S+) (\\S+) -->\\n```text\\n(.*?)```"),
        QRegularExpression::DotMatchesEverythingOption);
    std::vector<Example> examples;
    for (auto it = example.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        QByteArray lines = match.captured(3).toUtf8();
        lines.replace("\n", "\r\n");
        examples.push_back({match.captured(1), match.captured(2), lines});
    }
    return examples;
}

// The tables behind each example.
const std::map<QString, std::pair<QStringList, QStringList>>& exampleTables() {
    static const std::map<QString, std::pair<QStringList, QStringList>> tables = {
        {QStringLiteral("Prodotti"),
         {{"CREATE TABLE Prodotti (Codice CHAR(6) NOT NULL, Descrizione NCHAR(40),"
           " Quantita INTEGER, Modificato TIMESTAMP)",
           "INSERT INTO Prodotti VALUES ('A-001 ', 'Vite 4 mm', 120, '2026-12-07 10:15:00')",
           "INSERT INTO Prodotti VALUES ('A-002', '  Rondella d''acciaio  ', NULL,"
           " '2026-12-01 08:30:00')",
           "CREATE TABLE Vuota (Codice CHAR(6))"},
          {"Prodotti", "Vuota"}}},
        {QStringLiteral("Valori"),
         {{"CREATE TABLE Valori (Prezzo NUMERIC(10,2), Peso DOUBLE, Attivo BOOLEAN,"
           " Giorno DATE, Ora TIME, Inizio TIMESTAMP, Firma VARBINARY(8), Nota VARCHAR(40))",
           "INSERT INTO Valori VALUES ('1234.50', 25.5, 1, '2026-12-31', '08:05:09',"
           " '2026-03-01 00:00:00', x'0AFF', 'uno, due')",
           "INSERT INTO Valori VALUES ('-0.01', 1e15, 0, NULL, NULL, '2024-02-29 23:59:59',"
           " NULL, NULL)"},
          {"Valori"}}},
    };
    return tables;
}

QByteArray exportUnder(const QString& localeName,
                       const std::pair<QStringList, QStringList>& tables) {
    SqliteDatabase database;
    database.run(tables.first);
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("Export.txt"));
    RecordingHost host;
    auto connection = db::createConnection(database.connectionString());
    connection->open(database.connectionString());
    {
        exporter::ExportFile file(path, platform::codePageForLocale(localeName));
        file.open();
        exporter::TableBlockWriter writer(
            connection.get(), file, host, [](const Error& error) { ADD_FAILURE() << error.what(); },
            QLocale(localeName));
        for (const QString& table : tables.second)
            writer.WriteTableBlock(table);
        EXPECT_FALSE(file.close());
    }
    connection->close();
    QFile written(path);
    return written.open(QIODevice::ReadOnly) ? written.readAll() : QByteArray();
}

TEST(FormatDocument, EveryExampleIsARealExport) {
    const std::vector<Example> examples = documentExamples();
    ASSERT_EQ(examples.size(), 3u);
    for (const Example& example : examples) {
        SCOPED_TRACE((example.name + u' ' + example.locale).toStdString());
        const auto tables = exampleTables().find(example.name);
        ASSERT_NE(tables, exampleTables().end());
        EXPECT_EQ(exportUnder(example.locale, tables->second).toStdString(),
                  example.lines.toStdString());
    }
}

}  // namespace
}  // namespace brivano::test
