#include "export/DateTimeText.h"

#include <QDate>
#include <algorithm>
#include <cstring>

#include "export/Digits.h"

namespace brivano::exporter {
namespace {

constexpr int kYearDigits = 4;
constexpr int kHoursPerHalfDay = 12;
constexpr int kMaxRepeat = 4;
constexpr char16_t kQuote = u'\'';
// Characters left over at either end of a pattern once its time zone is
// taken out, as in "HH:mm:ss t" or "H:mm:ss (t)".
constexpr QStringView kEdgeFiller = u" ()[]\u00A0\u202F";

int repeatCount(QStringView format, qsizetype at) {
    int count = 1;
    while (at + count < format.size() && count < kMaxRepeat && format[at + count] == format[at])
        ++count;
    return count;
}

// Picks one of up to four parts by how often a letter repeats ("d" .. "dddd").
template <typename Part>
Part byRepeat(int count, Part one, Part two, Part three, Part four) {
    switch (count) {
        case 1:
            return one;
        case 2:
            return two;
        case 3:
            return three;
        default:
            return four;
    }
}

}  // namespace

DateTimeText::DateTimeText(const QLocale& locale, CodePage& codePage)
    : date_(parse(locale.dateFormat(QLocale::ShortFormat))),
      time_(parse(locale.timeFormat(QLocale::LongFormat))),
      amUpper_(codePage.encode(locale.amText().toUpper())),
      pmUpper_(codePage.encode(locale.pmText().toUpper())),
      amLower_(codePage.encode(locale.amText().toLower())),
      pmLower_(codePage.encode(locale.pmText().toLower())) {
    dropUnwanted(date_);
    dropUnwanted(time_);
    for (Pattern* pattern : {&date_, &time_}) {
        for (Piece& piece : *pattern)
            piece.bytes = codePage.encode(piece.literal);
    }
    // Hours count to twelve only when the pattern says AM or PM.
    const bool twelveHour = std::any_of(time_.begin(), time_.end(), [](const Piece& piece) {
        return piece.part == Part::AmPmUpper || piece.part == Part::AmPmLower;
    });
    if (!twelveHour) {
        for (Piece& piece : time_) {
            if (piece.part == Part::Hour12)
                piece.part = Part::Hour24;
            else if (piece.part == Part::Hour12Padded)
                piece.part = Part::Hour24Padded;
        }
    }
    fixedDate_ = fixedForm(date_);
    fixedTime_ = fixedForm(time_);
    for (int month = 1; month <= 12; ++month) {
        monthShortNames_[month - 1] =
            codePage.encode(locale.monthName(month, QLocale::ShortFormat));
        monthLongNames_[month - 1] = codePage.encode(locale.monthName(month, QLocale::LongFormat));
    }
    for (int day = 1; day <= 7; ++day) {
        dayShortNames_[day - 1] = codePage.encode(locale.dayName(day, QLocale::ShortFormat));
        dayLongNames_[day - 1] = codePage.encode(locale.dayName(day, QLocale::LongFormat));
    }
}

namespace {

// The part a pattern letter stands for, repeated `count` times, and how many
// of those letters it takes; Literal when the letter is no field.
struct FieldToken {
    DateTimeText::Part part = DateTimeText::Part::Literal;
    int used = 1;
};

FieldToken fieldToken(QStringView format, qsizetype at) {
    using Part = DateTimeText::Part;
    const QChar letter = format[at];
    const int count = repeatCount(format, at);
    switch (letter.unicode()) {
        case u'd':
            return {byRepeat(count, Part::Day, Part::Day2, Part::DayShortName, Part::DayLongName),
                    count};
        case u'M':
            return {byRepeat(count, Part::Month, Part::Month2, Part::MonthShortName,
                             Part::MonthLongName),
                    count};
        case u'y': {
            // "yy" and "yyyy" both give the four-digit year.
            const int used = count >= 4 ? 4 : (count >= 2 ? 2 : 1);
            return {used == 1 ? Part::Literal : Part::Year, used};
        }
        case u'h':
            return {count >= 2 ? Part::Hour12Padded : Part::Hour12, std::min(count, 2)};
        case u'H':
            return {count >= 2 ? Part::Hour24Padded : Part::Hour24, std::min(count, 2)};
        case u'm':
            return {count >= 2 ? Part::Minute2 : Part::Minute, std::min(count, 2)};
        case u's':
            return {count >= 2 ? Part::Second2 : Part::Second, std::min(count, 2)};
        case u'z':
            return {Part::Fraction, std::min(count, 3)};
        case u'A':
        case u'a': {
            const bool pairedP =
                at + 1 < format.size() && (format[at + 1] == u'P' || format[at + 1] == u'p');
            return {letter == u'A' ? Part::AmPmUpper : Part::AmPmLower, pairedP ? 2 : 1};
        }
        case u't':
            return {Part::TimeZone, count};
        default:
            return {};
    }
}

}  // namespace

void DateTimeText::addLiteral(Pattern& pattern, QStringView text) {
    if (pattern.empty() || pattern.back().part != Part::Literal)
        pattern.push_back({Part::Literal, {}, {}});
    pattern.back().literal.append(text);
}

qsizetype DateTimeText::parseQuoted(QStringView format, qsizetype at, Pattern& pattern) {
    // 'text' is literal; a doubled quote, inside or outside, is one quote.
    qsizetype end = at + 1;
    if (end < format.size() && format[end] == kQuote) {
        addLiteral(pattern, u"'");
        return end + 1;
    }
    while (end < format.size()) {
        if (format[end] == kQuote) {
            if (end + 1 < format.size() && format[end + 1] == kQuote) {
                addLiteral(pattern, u"'");
                end += 2;
                continue;
            }
            break;
        }
        addLiteral(pattern, format.sliced(end, 1));
        ++end;
    }
    return end + 1;
}

DateTimeText::Pattern DateTimeText::parse(QStringView format) {
    Pattern pattern;
    qsizetype at = 0;
    while (at < format.size()) {
        if (format[at] == kQuote) {
            at = parseQuoted(format, at, pattern);
            continue;
        }
        const FieldToken token = fieldToken(format, at);
        if (token.part == Part::Literal)
            addLiteral(pattern, format.sliced(at, token.used));
        else
            pattern.push_back({token.part, {}, {}});
        at += token.used;
    }
    return pattern;
}

void DateTimeText::dropUnwanted(Pattern& pattern) {
    Pattern kept;
    for (Piece& piece : pattern) {
        if (piece.part == Part::TimeZone)
            continue;
        if (piece.part == Part::Fraction) {
            // The separator before the fraction goes with it.
            if (!kept.empty() && kept.back().part == Part::Literal &&
                (kept.back().literal == u"." || kept.back().literal == u","))
                kept.pop_back();
            continue;
        }
        if (piece.part == Part::Literal && !kept.empty() && kept.back().part == Part::Literal)
            kept.back().literal.append(piece.literal);
        else
            kept.push_back(std::move(piece));
    }
    auto isFiller = [](QChar c) { return kEdgeFiller.contains(c); };
    if (!kept.empty() && kept.back().part == Part::Literal) {
        QString& text = kept.back().literal;
        while (!text.isEmpty() && isFiller(text.back()))
            text.chop(1);
        if (text.isEmpty())
            kept.pop_back();
    }
    if (!kept.empty() && kept.front().part == Part::Literal) {
        QString& text = kept.front().literal;
        while (!text.isEmpty() && isFiller(text.front()))
            text.remove(0, 1);
        if (text.isEmpty())
            kept.erase(kept.begin());
    }
    pattern = std::move(kept);
}

DateTimeText::FixedForm DateTimeText::fixedForm(const Pattern& pattern) {
    using Source = FixedForm::Source;
    FixedForm form;
    for (const Piece& piece : pattern) {
        Source source = Source::Year;
        switch (piece.part) {
            case Part::Literal:
                form.text.append(piece.bytes);
                continue;
            case Part::Year:
                break;
            case Part::Month2:
                source = Source::Month;
                break;
            case Part::Day2:
                source = Source::Day;
                break;
            case Part::Hour24Padded:
                source = Source::Hour24;
                break;
            case Part::Hour12Padded:
                source = Source::Hour12;
                break;
            case Part::Minute2:
                source = Source::Minute;
                break;
            case Part::Second2:
                source = Source::Second;
                break;
            default:
                return {};  // a number of varying width, or a word
        }
        form.numbers.push_back({static_cast<std::uint16_t>(form.text.size()), source});
        form.text.append(source == Source::Year ? "0000" : "00");
    }
    form.usable = true;
    return form;
}

bool DateTimeText::appendFixed(const FixedForm& form, const db::DateValue& date,
                               const db::TimeValue& time, ByteBuffer& out) {
    if (!form.usable)
        return false;
    const int hour12 = time.hour % kHoursPerHalfDay;
    // In the order of FixedForm::Source.
    const int values[] = {
        date.year,   date.month, date.day, time.hour, hour12 == 0 ? kHoursPerHalfDay : hour12,
        time.minute, time.second};
    const qsizetype start = out.size();
    char* at = out.extend(form.text.size());
    std::memcpy(at, form.text.constData(), static_cast<size_t>(form.text.size()));
    for (const FixedForm::Slot& slot : form.numbers) {
        const int value = values[static_cast<int>(slot.source)];
        char* digits = at + slot.offset;
        if (slot.source == FixedForm::Source::Year) {
            if (value < 0 || value > 9999) {
                out.truncate(start);
                return false;
            }
            writeFourDigits(digits, static_cast<unsigned>(value));
        } else if (value < 0 || value > 99) {
            out.truncate(start);
            return false;
        } else {
            writeTwoDigits(digits, static_cast<unsigned>(value));
        }
    }
    return true;
}

void DateTimeText::appendDate(const db::DateValue& date, ByteBuffer& out) const {
    if (!appendFixed(fixedDate_, date, {}, out))
        append(date_, date, {}, out);
}

void DateTimeText::appendTime(const db::TimeValue& time, ByteBuffer& out) const {
    if (!appendFixed(fixedTime_, {}, time, out))
        append(time_, {}, time, out);
}

void DateTimeText::appendTimestamp(const db::DateValue& date, const db::TimeValue& time,
                                   ByteBuffer& out) const {
    appendDate(date, out);
    if (time.hour == 0 && time.minute == 0 && time.second == 0)
        return;
    out.append(' ');
    if (!appendFixed(fixedTime_, date, time, out))
        append(time_, date, time, out);
}

DateTimeText::NumberField DateTimeText::numberField(Part part, const db::DateValue& date,
                                                    const db::TimeValue& time) {
    switch (part) {
        case Part::Day:
        case Part::Day2:
            return {date.day, part == Part::Day2 ? 2 : 1};
        case Part::Month:
        case Part::Month2:
            return {date.month, part == Part::Month2 ? 2 : 1};
        case Part::Year:
            return {date.year, kYearDigits};
        case Part::Hour12:
        case Part::Hour12Padded: {
            const int hour = time.hour % kHoursPerHalfDay;
            return {hour == 0 ? kHoursPerHalfDay : hour, part == Part::Hour12Padded ? 2 : 1};
        }
        case Part::Hour24:
        case Part::Hour24Padded:
            return {time.hour, part == Part::Hour24Padded ? 2 : 1};
        case Part::Minute:
        case Part::Minute2:
            return {time.minute, part == Part::Minute2 ? 2 : 1};
        case Part::Second:
        case Part::Second2:
            return {time.second, part == Part::Second2 ? 2 : 1};
        default:
            return {};
    }
}

QByteArrayView DateTimeText::word(Part part, const db::DateValue& date,
                                  const db::TimeValue& time) const {
    const bool validMonth = date.month >= 1 && date.month <= 12;
    switch (part) {
        case Part::DayShortName:
        case Part::DayLongName: {
            const int weekday = QDate(date.year, date.month, date.day).dayOfWeek();
            if (weekday < 1)
                return {};
            return (part == Part::DayShortName ? dayShortNames_ : dayLongNames_)[weekday - 1];
        }
        case Part::MonthShortName:
        case Part::MonthLongName:
            if (!validMonth)
                return {};
            return (part == Part::MonthShortName ? monthShortNames_
                                                 : monthLongNames_)[date.month - 1];
        case Part::AmPmUpper:
            return time.hour < kHoursPerHalfDay ? amUpper_ : pmUpper_;
        case Part::AmPmLower:
            return time.hour < kHoursPerHalfDay ? amLower_ : pmLower_;
        default:
            return {};  // a fraction or a time zone: left out
    }
}

void DateTimeText::append(const Pattern& pattern, const db::DateValue& date,
                          const db::TimeValue& time, ByteBuffer& out) const {
    for (const Piece& piece : pattern) {
        if (piece.part == Part::Literal) {
            out.append(piece.bytes);
        } else if (const NumberField field = numberField(piece.part, date, time); field.width > 0) {
            appendPaddedNumber(field.value, field.width, out);
        } else {
            out.append(word(piece.part, date, time));
        }
    }
}

}  // namespace brivano::exporter
