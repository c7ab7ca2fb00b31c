#pragma once

#include <QByteArrayView>
#include <cstdint>
#include <cstring>

#include "db/AdoTypes.h"

namespace brivano::exporter {

// The export file's format, stated once: what TableBlockWriter writes and
// what ExportFileReader expects are both taken from here, so the two cannot
// drift apart. docs/export-format.md tells the same to the people who load
// the file.

// A line's kind is its first byte; the separator follows it on every line.
enum class LineKind : char {
    None = '\0',  // no line the writer makes
    Header = 'I',
    Names = 'N',
    Types = 'T',
    Sizes = 'S',
    Attributes = 'A',
    Data = 'D',
};

// Between the entries of a line; there is no escape for it.
inline constexpr char kSeparator = ',';
// The only quoting character.
inline constexpr char kApostrophe = '\'';
// A column name on the names line stands between these.
inline constexpr char kNameOpen = '[';
inline constexpr char kNameClose = ']';
inline constexpr char kCarriageReturn = '\r';
inline constexpr char kLineFeed = '\n';
// Ends every line, the last one too.
inline constexpr QByteArrayView kLineEnd = "\r\n";
// A null of any type, never between apostrophes.
inline constexpr QByteArrayView kNull = "Null";

constexpr char letterOf(LineKind kind) {
    return static_cast<char>(kind);
}

// The kind of a line as it lies in the file, without its line end.
constexpr LineKind lineKind(QByteArrayView line) {
    if (line.size() < 2 || line[1] != kSeparator)
        return LineKind::None;
    for (const LineKind kind : {LineKind::Header, LineKind::Names, LineKind::Types, LineKind::Sizes,
                                LineKind::Attributes, LineKind::Data}) {
        if (line[0] == letterOf(kind))
            return kind;
    }
    return LineKind::None;
}

// How the values of a column are written in its data lines, fixed by the
// column's type code.
enum class EntryQuoting : std::uint8_t {
    Plain,    // the text form, unchanged
    Cleaned,  // between apostrophes, trimmed of blanks, CleanText applied
    Quoted,   // between apostrophes, unchanged
};

constexpr EntryQuoting entryQuoting(std::int16_t typeCode) {
    switch (typeCode) {
        case db::adChar:
        case db::adWChar:
            return EntryQuoting::Cleaned;
        case db::adDBTimeStamp:
            return EntryQuoting::Quoted;
        default:
            return EntryQuoting::Plain;
    }
}

constexpr bool isQuoted(std::int16_t typeCode) {
    return entryQuoting(typeCode) != EntryQuoting::Plain;
}

// A plain entry that any column may hold, a quoted one too: a null, or the
// empty entry of a value that could not be read.
inline bool fitsEveryColumn(QByteArrayView plainEntry) {
    return plainEntry.isEmpty() || plainEntry == kNull;
}

namespace detail {

// True when `text` holds byte A, B or C. Eight bytes are looked at at once:
// a byte equal to one of the three makes a zero byte of its XOR. A text of
// eight bytes or more ends with the eight bytes before its end, which may
// overlap those already looked at; only a shorter one goes byte by byte.
template <char A, char B, char C>
inline bool holdsAnyOf(QByteArrayView text) {
    constexpr std::uint64_t kOnes = 0x0101010101010101ULL;
    constexpr std::uint64_t kHighs = 0x8080808080808080ULL;
    const auto holds = [](const char* at) {
        std::uint64_t word;
        std::memcpy(&word, at, sizeof word);
        const auto hasZeroByte = [](std::uint64_t w) { return (w - kOnes) & ~w & kHighs; };
        return (hasZeroByte(word ^ (kOnes * static_cast<unsigned char>(A))) |
                hasZeroByte(word ^ (kOnes * static_cast<unsigned char>(B))) |
                hasZeroByte(word ^ (kOnes * static_cast<unsigned char>(C)))) != 0;
    };
    const char* at = text.data();
    const qsizetype size = text.size();
    if (size < 8) {
        for (const char* end = at + size; at < end; ++at) {
            if (*at == A || *at == B || *at == C)
                return true;
        }
        return false;
    }
    const char* last = at + size - 8;
    for (; at < last; at += 8) {
        if (holds(at))
            return true;
    }
    return holds(last);
}

}  // namespace detail

// True when a plain entry written for a value (not for a null) will not
// read back as that value: a comma reads as one more field, a carriage
// return or a line feed splits the row, and the null word reads as a null.
inline bool plainEntryIsAmbiguous(QByteArrayView entry) {
    return detail::holdsAnyOf<kSeparator, kCarriageReturn, kLineFeed>(entry) || entry == kNull;
}

// True when the text between a quoted entry's apostrophes will not read
// back as written: an apostrophe ends it early, a carriage return or a line
// feed splits the row (a lone line feed for readers that end lines at LF).
// Cleaned text holds no apostrophe and no carriage return, so only a line
// feed is left to it.
inline bool quotedTextIsAmbiguous(QByteArrayView text) {
    return detail::holdsAnyOf<kLineFeed, kCarriageReturn, kApostrophe>(text);
}

}  // namespace brivano::exporter
