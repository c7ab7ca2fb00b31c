#pragma once

#include <QByteArray>
#include <QLocale>
#include <QString>
#include <QStringView>
#include <array>
#include <cstdint>
#include <vector>

#include "db/Value.h"
#include "export/ByteBuffer.h"
#include "export/CodePage.h"

namespace brivano::exporter {

// Dates and times written in the forms of one locale: its short date with a
// four-digit year, and its time with seconds and without a time zone. The
// locale's patterns are parsed once and their words encoded once, so
// writing a value only appends digits and bytes that are already at hand.
class DateTimeText {
  public:
    DateTimeText(const QLocale& locale, CodePage& codePage);

    // Appends the code-page bytes of the value to `out`.
    void appendDate(const db::DateValue& date, ByteBuffer& out) const;
    // Fractions of a second are not written.
    void appendTime(const db::TimeValue& time, ByteBuffer& out) const;
    // The date, a blank and the time; the date alone when the time (without
    // its fraction) is midnight.
    void appendTimestamp(const db::DateValue& date, const db::TimeValue& time,
                         ByteBuffer& out) const;

    // What one piece of a parsed date or time pattern writes.
    enum class Part : std::uint8_t {
        Literal,
        Day,
        Day2,
        DayShortName,
        DayLongName,
        Month,
        Month2,
        MonthShortName,
        MonthLongName,
        Year,
        Hour12,
        Hour12Padded,
        Hour24,
        Hour24Padded,
        Minute,
        Minute2,
        Second,
        Second2,
        AmPmUpper,
        AmPmLower,
        Fraction,  // parsed so that it can be left out
        TimeZone,  // parsed so that it can be left out
    };

  private:
    struct Piece {
        Part part = Part::Literal;
        QString literal;
        QByteArray bytes;  // the literal in the code page
    };
    using Pattern = std::vector<Piece>;

    // A pattern made of literals and fixed-width numbers only (such as
    // dd/MM/yyyy HH:mm:ss): its bytes with zeros where the digits go, and
    // where each number goes, so that writing a value is one copy and a few
    // digit pairs.
    struct FixedForm {
        // Which number a place holds.
        enum class Source : std::uint8_t { Year, Month, Day, Hour24, Hour12, Minute, Second };
        struct Slot {
            std::uint16_t offset = 0;
            Source source = Source::Year;
        };
        QByteArray text;
        std::vector<Slot> numbers;
        bool usable = false;
    };
    static FixedForm fixedForm(const Pattern& pattern);
    // False, writing nothing, when a number does not fit its width.
    static bool appendFixed(const FixedForm& form, const db::DateValue& date,
                            const db::TimeValue& time, ByteBuffer& out);

    // Splits a QLocale date or time format into its pieces.
    static Pattern parse(QStringView format);
    // Takes the quoted literal that starts at `at`; returns where it ends.
    static qsizetype parseQuoted(QStringView format, qsizetype at, Pattern& pattern);
    static void addLiteral(Pattern& pattern, QStringView text);
    static void dropUnwanted(Pattern& pattern);
    void append(const Pattern& pattern, const db::DateValue& date, const db::TimeValue& time,
                ByteBuffer& out) const;
    // A piece that is a number: its value and width (0 for other pieces).
    struct NumberField {
        int value = 0;
        int width = 0;
    };
    static NumberField numberField(Part part, const db::DateValue& date, const db::TimeValue& time);
    // A piece that is a word (a name, AM or PM), in the code page.
    QByteArrayView word(Part part, const db::DateValue& date, const db::TimeValue& time) const;

    Pattern date_;
    Pattern time_;
    FixedForm fixedDate_;
    FixedForm fixedTime_;
    std::array<QByteArray, 12> monthShortNames_;
    std::array<QByteArray, 12> monthLongNames_;
    std::array<QByteArray, 7> dayShortNames_;
    std::array<QByteArray, 7> dayLongNames_;
    QByteArray amUpper_;
    QByteArray pmUpper_;
    QByteArray amLower_;
    QByteArray pmLower_;
};

}  // namespace brivano::exporter
