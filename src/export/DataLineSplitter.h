#pragma once

#include <QByteArrayView>
#include <cstdint>
#include <vector>

#include "export/CommaAlignment.h"
#include "export/ExportBlock.h"
#include "export/ExportLineSource.h"

namespace brivano::exporter {

// Splits the data lines of one block into their entries the way the
// loading installation does: a quoted column's entry runs from its
// apostrophe to the next one, any other entry to the next comma. A line
// reads back as written when that gives exactly one well-formed entry per
// column and no CR or LF is left inside; otherwise it says what is wrong
// and which columns are concerned.
class DataLineSplitter {
  public:
    // `forms` as the reader's regional settings write the columns; `wider`
    // the same columns with every value that could hold a comma under some
    // locale marked so, tried when `forms` explain nothing.
    void setColumns(std::vector<ColumnForm> forms, std::vector<ColumnForm> wider);

    // True when `line`, a "D" line, reads back unambiguously: entries()
    // then holds its entries. Otherwise `problem` gets its faults and
    // columns (its line number is the caller's to set).
    bool split(const PhysicalLine& line, LineProblem& problem);
    const std::vector<ExportEntry>& entries() const { return entries_; }

  private:
    enum class Stop : std::uint8_t { None, Extra, Missing, Unclosed, MissingQuote, TextAfterQuote };

    // The reader's way: fills entries_ up to where it stops; `column` gets
    // the column it stopped at.
    Stop splitEntries(QByteArrayView body, std::size_t& column);
    void explainCommas(QByteArrayView body, Stop stop, std::size_t column, LineProblem& problem);
    void explainMissing(std::size_t column, LineProblem& problem) const;
    void findBreaks(QByteArrayView body, std::size_t column, LineProblem& problem) const;

    std::vector<ColumnForm> forms_;
    std::vector<ColumnForm> wider_;
    std::vector<ExportEntry> entries_;
    CommaAlignment alignment_;
    std::vector<std::int32_t> culprits_;
};

}  // namespace brivano::exporter
