#include "WriterFixture.h"

#include <QFile>

namespace brivano::test {

QByteArray WriterFixture::writeTables(db::Connection* connection, const QStringList& tables) {
    exporter::ExportFile file(exportPath(), kWesternEurope);
    file.open();
    exporter::TableBlockWriter writer(connection, file, host, [this](const Error& error) {
        reported.append(error.description());
    });
    for (const QString& table : tables)
        counts.push_back(writer.WriteTableBlock(table));
    file.close();
    QFile written(exportPath());
    if (!written.open(QIODevice::ReadOnly))
        return "<no export file>";
    return written.readAll();
}

}  // namespace brivano::test
