#include "db/IsoDateTime.h"

namespace brivano::db {

namespace {

constexpr int kDateLength = 10;  // YYYY-MM-DD
constexpr int kMaxFractionDigits = 9;
constexpr int kMaxMonth = 12;
constexpr int kMaxYear = 9999;
constexpr int kMaxHour = 23;
constexpr int kMaxMinute = 59;
constexpr int kMaxSecond = 60;  // a leap second

class Reader {
  public:
    Reader(QByteArrayView text, DateTimeForm form) : text_(text.trimmed()), form_(form) {}

    bool atEnd() const { return at_ == text_.size(); }
    bool take(char c) {
        if (at_ < text_.size() && text_[at_] == c) {
            ++at_;
            return true;
        }
        return false;
    }
    // Exactly `digits` decimal digits.
    std::optional<int> number(int digits) {
        int value = 0;
        for (int i = 0; i < digits; ++i) {
            if (at_ >= text_.size() || text_[at_] < '0' || text_[at_] > '9') {
                return std::nullopt;
            }
            value = value * 10 + (text_[at_++] - '0');
        }
        return value;
    }
    // Any number of digits, kept to nanoseconds.
    std::uint32_t fraction() {
        std::uint32_t value = 0;
        int digits = 0;
        while (at_ < text_.size() && text_[at_] >= '0' && text_[at_] <= '9') {
            if (digits < kMaxFractionDigits) {
                value = value * 10 + static_cast<std::uint32_t>(text_[at_] - '0');
                ++digits;
            }
            ++at_;
        }
        for (; digits < kMaxFractionDigits; ++digits) {
            value *= 10;
        }
        return value;
    }
    bool looksLikeDate() const { return text_.size() >= kDateLength && text_[4] == '-'; }
    DateTimeForm form() const { return form_; }

  private:
    QByteArrayView text_;
    DateTimeForm form_;
    qsizetype at_ = 0;
};

// A server's time zone offset, "+HH", "-HH:MM" or "+HH:MM:SS".
bool takeZoneOffset(Reader& reader) {
    if (!reader.take('+') && !reader.take('-'))
        return false;
    if (!reader.number(2))
        return false;
    for (int part = 0; part < 2 && reader.take(':'); ++part) {
        if (!reader.number(2))
            return false;
    }
    return true;
}

std::optional<DateValue> readDate(Reader& reader) {
    const auto year = reader.number(4);
    if (!year || !reader.take('-')) {
        return std::nullopt;
    }
    const auto month = reader.number(2);
    if (!month || !reader.take('-')) {
        return std::nullopt;
    }
    const auto day = reader.number(2);
    if (!day) {
        return std::nullopt;
    }
    const DateValue date{*year, *month, *day};
    return isCalendarDate(date) ? std::optional(date) : std::nullopt;
}

std::optional<TimeValue> readTime(Reader& reader) {
    const auto hour = reader.number(2);
    if (!hour || !reader.take(':')) {
        return std::nullopt;
    }
    const auto minute = reader.number(2);
    if (!minute || *hour > kMaxHour || *minute > kMaxMinute) {
        return std::nullopt;
    }
    TimeValue time{*hour, *minute, 0, 0};
    if (reader.take(':')) {
        const auto second = reader.number(2);
        if (!second || *second > kMaxSecond) {
            return std::nullopt;
        }
        time.second = *second;
        if (reader.take('.')) {
            time.nanosecond = reader.fraction();
        }
    }
    if (!reader.take('Z') && reader.form() == DateTimeForm::Server) {
        takeZoneOffset(reader);
    }
    return time;
}

bool takeDateTimeSeparator(Reader& reader) {
    return reader.take(' ') || reader.take('T');
}

// "YYYY-MM-DD HH:MM:SS", the form nearly every stored timestamp has, read
// without the general reader; nothing for any other text.
std::optional<std::pair<DateValue, TimeValue>> parsePlainTimestamp(QByteArrayView text) {
    constexpr qsizetype kLength = 19;
    if (text.size() != kLength || text[4] != '-' || text[7] != '-' || text[10] != ' ' ||
        text[13] != ':' || text[16] != ':')
        return std::nullopt;
    int fields[6];
    constexpr int kStarts[] = {0, 5, 8, 11, 14, 17};
    constexpr int kWidths[] = {4, 2, 2, 2, 2, 2};
    for (int f = 0; f < 6; ++f) {
        int value = 0;
        for (int i = 0; i < kWidths[f]; ++i) {
            const char c = text[kStarts[f] + i];
            if (c < '0' || c > '9')
                return std::nullopt;
            value = value * 10 + (c - '0');
        }
        fields[f] = value;
    }
    const DateValue date{fields[0], fields[1], fields[2]};
    const TimeValue time{fields[3], fields[4], fields[5], 0};
    if (!isCalendarDate(date) || !isTimeOfDay(time))
        return std::nullopt;
    return std::pair{date, time};
}

}  // namespace

bool isCalendarDate(const DateValue& date) {
    constexpr int kDaysInMonth[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (date.year < 1 || date.year > kMaxYear || date.month < 1 || date.month > kMaxMonth ||
        date.day < 1)
        return false;
    const bool leap = (date.year % 4 == 0 && date.year % 100 != 0) || date.year % 400 == 0;
    const int days = date.month == 2 && leap ? 29 : kDaysInMonth[date.month - 1];
    return date.day <= days;
}

bool isTimeOfDay(const TimeValue& time) {
    return time.hour >= 0 && time.hour <= kMaxHour && time.minute >= 0 &&
           time.minute <= kMaxMinute && time.second >= 0 && time.second <= kMaxSecond;
}

std::optional<DateValue> parseIsoDate(QByteArrayView text, DateTimeForm form) {
    Reader reader(text, form);
    const auto date = readDate(reader);
    if (!date) {
        return std::nullopt;
    }
    if (!reader.atEnd() && !(takeDateTimeSeparator(reader) && readTime(reader))) {
        return std::nullopt;
    }
    return reader.atEnd() ? date : std::nullopt;
}

std::optional<TimeValue> parseIsoTime(QByteArrayView text, DateTimeForm form) {
    Reader reader(text, form);
    if (reader.looksLikeDate() && !(readDate(reader) && takeDateTimeSeparator(reader))) {
        return std::nullopt;
    }
    const auto time = readTime(reader);
    return time && reader.atEnd() ? time : std::nullopt;
}

std::optional<std::pair<DateValue, TimeValue>> parseIsoTimestamp(QByteArrayView text,
                                                                 DateTimeForm form) {
    if (const auto plain = parsePlainTimestamp(text))
        return plain;
    Reader reader(text, form);
    const auto date = readDate(reader);
    if (!date) {
        return std::nullopt;
    }
    TimeValue time;
    if (takeDateTimeSeparator(reader)) {
        const auto read = readTime(reader);
        if (!read) {
            return std::nullopt;
        }
        time = *read;
    }
    if (!reader.atEnd()) {
        return std::nullopt;
    }
    return std::pair{*date, time};
}

}  // namespace brivano::db
