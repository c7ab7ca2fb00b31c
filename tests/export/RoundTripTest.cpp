// Round trips: a table of plain values of every kind is exported by the
// engine from every test database, read back with the export reader, and
// each entry compared with the text form of the value the test put in.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <cstdlib>

#include "RecordingHost.h"
#include "export/ExportRun.h"
#include "support/ReadBack.h"
#include "support/TestSupport.h"

namespace brivano::test {
namespace {

// Regional settings whose decimal separator is a point, so that decimal
// numbers are among the values the format carries: set before Qt first
// reads the locale.
[[maybe_unused]] const bool kPointLocale = [] {
    qputenv("LC_ALL", QByteArray("C.UTF-8"));
    return true;
}();

using Row = std::vector<ReadEntry>;

class RoundTripTest : public DatabaseTest {
  protected:
    // Exports the ticked tables into a new file and reads it back; the run
    // must report nothing and every line must be clear.
    ReadBackFile exportAndReadBack(const QStringList& tables) {
        RecordingHost host;
        host.connection = connectionString();
        for (int slot = 0; slot < tables.size(); ++slot)
            host.tick(slot, tables[slot]);
        const QString path = folder_.filePath(QStringLiteral("Export.txt"));
        exporter::ExportRun run(host, path);
        run.RunExport();
        EXPECT_EQ(run.reportCount(), 0) << host.reports.join('\n').toStdString();
        EXPECT_TRUE(readsBackUnambiguously(path));
        return readBack(path);
    }
    QString timestampType() const {
        // MariaDB's TIMESTAMP fills itself in; DATETIME is the plain kind.
        return database().name == QStringLiteral("MariaDB") ? QStringLiteral("DATETIME")
                                                            : QStringLiteral("TIMESTAMP");
    }

  private:
    QTemporaryDir folder_;
};

TEST_P(RoundTripTest, EveryPlainValueReadsBackAsItsTextForm) {
    const QString table = tableName(QStringLiteral("round_trip"));
    const QString empty = tableName(QStringLiteral("round_empty"));
    const QString insert = QStringLiteral("INSERT INTO %1 VALUES ").arg(table);
    runSetup({
        QStringLiteral("CREATE TABLE %1 (id INTEGER NOT NULL PRIMARY KEY, intero INTEGER,"
                       " testo VARCHAR(40), fisso CHAR(8), giorno DATE, momento %2,"
                       " importo DECIMAL(10,2))")
            .arg(table, timestampType()),
        insert + "(1, 0, 'Vite 4 mm', 'ab', '2026-01-02', '2026-12-07 10:15:30', 12.50)",
        insert + "(2, -42, 'l''uomo', '  cd', '1999-12-31', '2026-12-07 00:00:00', -3.00)",
        insert + "(3, 2147483647, '', 'it''s', '2000-02-29', '2000-02-29 23:59:59', 0.25)",
        insert + "(4, NULL, NULL, NULL, NULL, NULL, NULL)",
        QStringLiteral("CREATE TABLE %1 (id INTEGER)").arg(empty),
    });
    const ReadBackFile file = exportAndReadBack({table, empty});

    ASSERT_EQ(file.blocks.size(), 2u);
    const exporter::ExportBlock& block = file.blocks[0];
    EXPECT_EQ(block.name, table);
    QStringList names;
    for (const exporter::ExportColumn& column : block.columns)
        names << column.name;
    EXPECT_EQ(names,
              QStringList({"id", "intero", "testo", "fisso", "giorno", "momento", "importo"}));
    EXPECT_EQ(block.rowsFound, 4);
    // Fixed-length text loses its blanks at both ends, and an apostrophe
    // becomes a blank: that is what the format carries of it.
    EXPECT_EQ(file.rowsOf(table),
              (std::vector<Row>{
                  {"1", "0", "Vite 4 mm", "ab", "1/2/2026", "12/7/2026 10:15:30 AM", "12.5"},
                  {"2", "-42", "l'uomo", "cd", "12/31/1999", "12/7/2026", "-3"},
                  {"3", "2147483647", "", "it s", "2/29/2000", "2/29/2000 11:59:59 PM", "0.25"},
                  {"4", std::nullopt, std::nullopt, std::nullopt, std::nullopt, std::nullopt,
                   std::nullopt},
              }));
    EXPECT_EQ(file.blocks[1].name, empty);
    EXPECT_TRUE(file.blocks[1].isEmptyTable());
}

INSTANTIATE_TEST_SUITE_P(Databases, RoundTripTest, ::testing::ValuesIn(testDatabases()),
                         databaseTestName);

}  // namespace
}  // namespace brivano::test
