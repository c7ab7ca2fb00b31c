#pragma once

#include <QByteArrayView>
#include <QLocale>
#include <cstdint>

namespace brivano::exporter {

// What the text of a plain (unquoted) entry may look like, from its
// column's type code. A reader uses it only to tell which of several ways
// of splitting a line into entries is possible.
enum class EntryShape : std::uint8_t { Text, Integer, Real, Boolean, Hex, Guid, DateTime };

// How the entries of one column are written, and so how they are read.
struct ColumnForm {
    bool quoted = false;        // between apostrophes, which it never holds
    bool mayHoldComma = false;  // plain, and its text may hold a comma
    bool mayHoldBreak = false;  // plain text: CR and LF are written as they are
    EntryShape shape = EntryShape::Text;
};

// Which plain values hold a comma under the exporting user's regional
// settings: a decimal comma, or a date or time format with one in it.
struct CommaSettings {
    bool decimalComma = false;
    bool dateComma = false;

    // What the writer does under `locale`.
    static CommaSettings of(const QLocale& locale);
    // Every plain value that could hold a comma under some locale.
    static CommaSettings anyLocale() { return {true, true}; }
};

ColumnForm columnForm(std::int16_t typeCode, CommaSettings commas);

// True when `text`, a plain entry of `form`'s column, could have been
// written for it: the null word and the empty entry of an unreadable value
// fit every column; a shape admits its own characters only.
bool fitsShape(const ColumnForm& form, QByteArrayView text);

}  // namespace brivano::exporter
