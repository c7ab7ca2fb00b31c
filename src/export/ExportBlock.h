#pragma once

#include <QByteArrayView>
#include <QString>
#include <cstdint>
#include <vector>

#include "export/EntryForms.h"
#include "export/ExportFormat.h"

namespace brivano::exporter {

// What can keep a line of an export file from reading back as it was
// written. A line may have several.
enum class LineFault : std::uint16_t {
    ExtraFields = 1 << 0,      // a comma inside a plain value
    MissingFields = 1 << 1,    // the line ends inside a value (a CR LF in it)
    UnclosedQuote = 1 << 2,    // an apostrophe that nothing closes
    MissingQuote = 1 << 3,     // a quoted column's value without apostrophes
    TextAfterQuote = 1 << 4,   // something between a closing apostrophe and the comma
    LineBreak = 1 << 5,        // a CR or an LF alone inside the line
    Continuation = 1 << 6,     // the rest of a line that a CR LF split
    AmbiguousName = 1 << 7,    // a column name holding ',' or ']'
    UnexpectedLine = 1 << 8,   // a line of no kind, or of a kind not due here
    WrongFieldCount = 1 << 9,  // a column line with more or fewer entries
    BadNumber = 1 << 10,       // a type, size or attribute that is no number
    FileEndsInLine = 1 << 11,  // the file ends before the line's CR LF
    ControlByte = 1 << 12,     // a NUL or another control byte but the tab
    LineTooLong = 1 << 13,     // longer than the reader holds: not looked into
};

// One line of a block that does not read back unambiguously.
struct LineProblem {
    std::int64_t line = 0;
    std::uint16_t faults = 0;           // LineFault bits
    std::vector<std::int32_t> columns;  // the columns concerned, by position
    std::int64_t relatedLine = 0;       // for a continuation: the line it continues

    bool has(LineFault fault) const { return (faults & static_cast<std::uint16_t>(fault)) != 0; }
};

// One column as the block's column lines describe it.
struct ExportColumn {
    QString name;
    std::int16_t type = 0;
    ColumnForm form;
};

// What a reader learned of one block of an export file: its header, its
// columns, the data lines it found, and the lines that are not clear. The
// problems are all counted; the first kKeptProblems are kept.
struct ExportBlock {
    static constexpr std::size_t kKeptProblems = 100;

    QString name;
    std::int64_t headerLine = 0;
    std::int64_t lastColumn = 0;
    std::int64_t lastRow = 0;
    bool hasColumnLines = false;  // N, T, S and A lines: the table had rows
    std::vector<ExportColumn> columns;
    std::int64_t rowsFound = 0;
    std::int64_t problemCount = 0;
    std::vector<LineProblem> problems;
    std::vector<bool> columnsConcerned;  // by any problem, kept or not

    // "I,name,0,0" alone: a table without rows.
    bool isEmptyTable() const { return !hasColumnLines && lastColumn == 0 && lastRow == 0; }
    // A header alone that announces rows: the table was emptied between
    // the writer's two readings.
    bool wasEmptied() const { return !hasColumnLines && !isEmptyTable(); }
    std::int64_t columnCount() const { return lastColumn + 1; }
    std::int64_t rowsAnnounced() const { return lastRow + 1; }
    // Fewer data lines than the header announces.
    bool isShort() const { return hasColumnLines && rowsFound < rowsAnnounced(); }
    bool readsBack() const { return problemCount == 0 && !isShort(); }

    void addProblem(const LineProblem& problem);
};

// One entry of a data line as it lies in the file: quoted text without its
// apostrophes. Valid only while the reader hands it over.
struct ExportEntry {
    QByteArrayView text;
    bool quoted = false;

    bool isNull() const { return !quoted && text == kNull; }
};

}  // namespace brivano::exporter
