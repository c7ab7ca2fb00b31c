// An export run over an ADO string, as the window starts one: what wine's
// ADO gives (tables without rows) reaches the file, and a table that is not
// there reaches the message list as the other providers' failures do.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <cstdlib>

#include "RecordingHost.h"
#include "export/ExportRun.h"
#include "support/TestSupport.h"

namespace brivano::test {
namespace {

QString adoString() {
    const char* name = std::getenv("BRIVANO_ADO_DSN");
    return QStringLiteral("Provider=MSDASQL;Data Source=") +
           (name != nullptr ? QString::fromLocal8Bit(name) : QString());
}

TEST(AdoExportRun, TablesOfAnAdoStringAreExportedAndAMissingOneIsReported) {
    runStatements(QStringLiteral("DSN=") + QString::fromLocal8Bit(std::getenv("BRIVANO_ADO_DSN")),
                  {"DROP TABLE IF EXISTS Clienti", "CREATE TABLE Clienti (Nome VARCHAR(20))",
                   "INSERT INTO Clienti VALUES ('Rossi')"});
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString path = folder.filePath(QStringLiteral("Export.txt"));
    RecordingHost host;
    host.connection = adoString();
    host.tick(0, "Clienti");
    host.tick(1, "Brivano_Mancante");
    exporter::ExportRun run(host, path);
    run.RunExport();

    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    // Wine's recordsets stand at their end at once: the header alone.
    EXPECT_EQ(file.readAll().toStdString(), "I,Clienti,0,0\r\n");
    ASSERT_EQ(host.messages.size(), 3) << host.messages.join('\n').toStdString();
    EXPECT_EQ(host.messages[0], QStringLiteral("Export Tabella Clienti...Completato (0 Records)"));
    EXPECT_TRUE(
        host.messages[1].startsWith(u"Brivano_Mancante - Recordset.Open non riuscita (HRESULT 0x"))
        << host.messages[1].toStdString();
    EXPECT_EQ(host.messages[2], QStringLiteral("Export Tabella Brivano_Mancante...Non esportata"));
}

}  // namespace
}  // namespace brivano::test
