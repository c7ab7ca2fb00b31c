#pragma once

#include <gtest/gtest.h>

#include <QByteArray>
#include <QTemporaryDir>
#include <memory>

#include "RecordingHost.h"
#include "db/Database.h"
#include "db/Error.h"
#include "export/ExportFile.h"
#include "export/TableBlockWriter.h"

namespace brivano::test {

// One run's worth of writer: an export file in a fresh folder, a recording
// host, and a failure rule that keeps what it was given.
class WriterFixture : public ::testing::Test {
  protected:
    static constexpr int kWesternEurope = 1252;

    QString exportPath() const { return folder_.filePath(QStringLiteral("Export.txt")); }

    // Writes the tables in order into a new export file and returns its bytes;
    // the record counts go to `counts`, whether each block is in the file to
    // `written`, the values counted as not reading back to `ambiguous`.
    QByteArray writeTables(db::Connection* connection, const QStringList& tables);

    std::vector<std::int32_t> counts;
    std::vector<bool> written;
    std::vector<std::int64_t> ambiguous;
    QStringList reported;  // descriptions handed to the failure rule
    RecordingHost host;

  private:
    QTemporaryDir folder_;
};

}  // namespace brivano::test
