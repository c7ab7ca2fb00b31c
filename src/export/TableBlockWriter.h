#pragma once

#include <QLocale>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "db/Database.h"
#include "db/Error.h"
#include "export/ExportFile.h"
#include "export/ExportHost.h"
#include "export/ValueText.h"

namespace brivano::exporter {

// Writes the block of one table after another into the export file of one
// run: a header line with the table's dimensions, the column name, type,
// size and attribute lines, and one data line per row, keeping the host's
// status line current and yielding to it after every row.
//
// A step that fails is handed to the run's failure rule and the writer goes
// on with the next step; it never ends the run. Where going on would write
// something false, the table's block is left out or cut short instead.
class TableBlockWriter {
  public:
    // The run's failure rule, applied to every failed step.
    using FailureRule = std::function<void(const Error&)>;

    // `connection` may be null when the run could not make one: every query
    // then fails. One writer serves one run; its column state starts at 0.
    // Values are written in the file's code page under `locale`.
    TableBlockWriter(db::Connection* connection, ExportFile& file, ExportHost& host,
                     FailureRule reportRunError, const QLocale& locale = regionalSettings());
    ~TableBlockWriter();

    // Exports "Select * from " + tableName; returns the data lines written.
    std::int32_t WriteTableBlock(const QString& tableName);

  private:
    // How the values of a column are written, fixed by its type code.
    enum class Quoting : std::uint8_t { Raw, Cleaned, Quoted };
    struct Column {
        db::Field* field = nullptr;  // reached by name; null when that failed
        Quoting quoting = Quoting::Raw;
    };

    template <typename Step>
    bool guard(Step&& step);
    std::unique_ptr<db::ResultSet> execute(const QString& query);
    // Whether the result is at its end; nothing when that cannot be told.
    std::optional<bool> atEnd();
    void writeLine();
    void writeHeader(const QString& tableName, std::int32_t lastColumn, std::int32_t lastRow);
    // Appends one entry per column, or an empty entry for one that fails.
    template <typename Entry>
    void writeColumnLine(char kind, Entry&& entry);
    void writeColumnLines();
    void resolveColumns();
    void appendEntry(Column& column);
    // A text of a fixed-length type: between its blanks, apostrophes and
    // carriage returns made blanks.
    void appendCleaned(const db::Value& value);

    db::Connection* connection_;
    ExportFile& file_;
    ExportHost& host_;
    FailureRule reportRunError_;
    ValueText valueText_;

    std::unique_ptr<db::ResultSet> resultSet_;
    std::int32_t lastColumn_ = 0;
    std::int32_t lastRow_ = 0;
    std::vector<std::int16_t> fieldTypes_;
    std::vector<Column> columns_;
    CodePage& codePage_;
    ByteBuffer line_;  // the line being assembled, in code-page bytes, reused row to row
};

}  // namespace brivano::exporter
