#pragma once

#include <gtest/gtest.h>

#include <QByteArray>
#include <QString>
#include <optional>
#include <string>
#include <vector>

#include "export/ExportFileReader.h"

namespace brivano::test {

// An entry as the loading installation gets it; nothing for a null.
using ReadEntry = std::optional<std::string>;

// A data line that reads back unambiguously.
struct ReadRow {
    QString table;
    std::int64_t line = 0;
    std::vector<ReadEntry> entries;
};

// Everything the reader tells of one export file.
struct ReadBackFile {
    std::vector<exporter::ExportBlock> blocks;
    std::vector<ReadRow> rows;

    // The entries of one table's clear data lines, in file order.
    std::vector<std::vector<ReadEntry>> rowsOf(const QString& table) const;
};

using ReaderSettings = exporter::ExportFileReader::Settings;

// Reads an export file, or bytes written to one, with the reader; throws
// brivano::Error as the reader does.
ReadBackFile readBack(const QString& path, const ReaderSettings& settings = {});
ReadBackFile readBackBytes(const QByteArray& bytes, const ReaderSettings& settings = {});

// Success when the file has blocks and every block reads back
// unambiguously; otherwise what is wrong, line by line.
::testing::AssertionResult readsBackUnambiguously(const QString& path,
                                                  const ReaderSettings& settings = {});

}  // namespace brivano::test
