#pragma once

#include <QByteArrayView>
#include <cstdint>
#include <vector>

#include "export/EntryForms.h"

namespace brivano::exporter {

// Finds which columns can hold the surplus commas of a data line that does
// not split into its entries as a reader takes them. It tries every way of
// cutting the line at its commas into one entry per column, each of a form
// its column could have written (a quoted entry, a number, ...), with only
// the plain columns that may hold a comma taking more than one piece; a
// column that takes more in some such way is a culprit. Run on unclear
// lines only: the work grows with the square of the commas.
class CommaAlignment {
  public:
    // `body` is the line after its kind letter, so it starts with a comma;
    // `forms` are its columns'. The culprits by position go to `found`,
    // nothing when no way exists (or the line has too many commas to try).
    // The object keeps its room from line to line.
    void culprits(QByteArrayView body, const std::vector<ColumnForm>& forms,
                  std::vector<std::int32_t>& found);

  private:
    // Calls `to(j)` for every boundary j at which column k, starting after
    // boundary i, can end.
    template <typename To>
    void ends(std::size_t k, std::size_t i, To&& to) const;
    qsizetype boundaryAt(qsizetype offset) const;

    const std::vector<ColumnForm>* forms_ = nullptr;
    QByteArrayView body_;
    std::vector<qsizetype> boundaries_;  // the commas, then the line's end
    // By column and boundary: column k can start after boundary i; from
    // there the rest of the line splits into the remaining columns.
    std::vector<std::uint8_t> reached_;
    std::vector<std::uint8_t> finishes_;
    std::vector<std::uint8_t> culprit_;
};

}  // namespace brivano::exporter
