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
#include "export/ExportFormat.h"
#include "export/ExportHost.h"
#include "export/ValueText.h"

namespace brivano::exporter {

// Writes the block of one table after another into the export file of one
// run: a header line with the table's dimensions, the column name, type,
// size and attribute lines, and one data line per row, keeping the host's
// status line current and yielding to it after every row.
//
// A block is whole or absent. A table that cannot be measured, queried
// again, or read to its last row (a fetch fails, the connection is lost)
// leaves no block: its lines are taken back and its failure is reported
// once. A single value or column property that cannot be read while the
// rest of its row can is reported and written as an empty entry, which
// keeps the columns aligned; a text holding a NUL byte is written up to
// it, and reported. The writer never ends the run.
class TableBlockWriter {
  public:
    // The run's failure rule: a report line for a failed step.
    using FailureRule = std::function<void(const Error&)>;

    // What became of one table: the data lines written, and whether its
    // block is in the file.
    struct Outcome {
        std::int32_t rowsDone = 0;
        bool written = false;
        // Of a written block: the values that a reader of the file cannot
        // tell apart from others (plainEntryIsAmbiguous and
        // quotedTextIsAmbiguous in ExportFormat.h), and the characters the
        // code page could not hold, written as "?".
        std::int64_t ambiguousValues = 0;
        std::int64_t replacedCharacters = 0;
    };

    // `connection` may be null when the run could not make one: every query
    // then fails. One writer serves one run; its column state starts at 0.
    // Values are written in the file's code page under `locale`.
    TableBlockWriter(db::Connection* connection, ExportFile& file, ExportHost& host,
                     FailureRule reportRunError, const QLocale& locale = regionalSettings());
    ~TableBlockWriter();

    // Exports "Select * from " + tableName.
    Outcome WriteTableBlock(const QString& tableName);

  private:
    struct Column {
        db::Field* field = nullptr;  // reached by name; null when that failed
        EntryQuoting quoting = EntryQuoting::Plain;
    };
    // A failure that leaves the table without a block.
    struct TableFailure {
        Error error;
    };

    // A step whose failure makes the table's block untrue.
    template <typename Step>
    auto tableStep(Step&& step) -> decltype(step());
    // A step of one entry: its failure is reported and the entry left
    // empty, unless the connection went, which ends the table.
    template <typename Step>
    bool entryStep(Step&& step);

    std::unique_ptr<db::ResultSet> execute(const QString& query);
    // The first reading: the table's dimensions, or nothing when it cannot
    // be measured (reported).
    std::optional<db::RowArrayBounds> measure(const QString& query, const QString& tableName);
    // The second reading: the header, column and data lines; the rows done.
    std::int32_t writeRows(const QString& query, const QString& tableName);
    std::int32_t writeDataLines();
    void writeLine();
    void writeHeader(const QString& tableName, std::int32_t lastColumn, std::int32_t lastRow);
    // Appends one entry per column, or an empty entry for one that fails.
    template <typename Entry>
    void writeColumnLine(LineKind kind, Entry&& entry);
    void writeColumnLines();
    void resolveColumns();
    void appendEntry(Column& column);
    // A text of a fixed-length type: between its blanks, apostrophes and
    // carriage returns made blanks.
    void appendCleaned(const db::Value& value);
    // `value`, or its text up to a NUL byte in it (reported).
    const db::Value& textBeforeNul(const Column& column, const db::Value& value);

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
    std::int64_t ambiguousValues_ = 0;
    CodePage& codePage_;
    db::Value cutValue_;  // a text cut at its NUL byte
    ByteBuffer line_;     // the line being assembled, in code-page bytes, reused row to row
};

}  // namespace brivano::exporter
