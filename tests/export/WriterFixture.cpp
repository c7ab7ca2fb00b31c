#include "WriterFixture.h"

#include <QFile>

namespace brivano::test {

QByteArray WriterFixture::writeTables(db::Connection* connection, const QStringList& tables) {
    exporter::ExportFile file(exportPath(), kWesternEurope);
    file.open();
    exporter::TableBlockWriter writer(connection, file, host, [this](const Error& error) {
        reported.append(error.description());
    });
    for (const QString& table : tables) {
        const exporter::TableBlockWriter::Outcome outcome = writer.WriteTableBlock(table);
        counts.push_back(outcome.rowsDone);
        written.push_back(outcome.written);
        ambiguous.push_back(outcome.ambiguousValues);
    }
    EXPECT_FALSE(file.close());
    QFile exported(exportPath());
    if (!exported.open(QIODevice::ReadOnly))
        return "<no export file>";
    return exported.readAll();
}

}  // namespace brivano::test
