#include "db/postgres/PgDateTime.h"

#include <limits>

namespace brivano::db {

namespace {

constexpr std::int64_t kDaysFrom1970To2000 = 10957;
constexpr std::int64_t kMicrosecondsPerSecond = 1000000;
constexpr std::int64_t kMicrosecondsPerDay = 86400 * kMicrosecondsPerSecond;
constexpr int kFirstYear = 1;
constexpr int kLastYear = 9999;

// Days from 1970-01-01 to a civil date (H. Hinnant's algorithm).
DateValue civilFromDays(std::int64_t days) {
    days += 719468;
    const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const auto dayOfEra = static_cast<unsigned>(days - era * 146097);
    const unsigned yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const unsigned dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const unsigned shifted = (5 * dayOfYear + 2) / 153;  // March is 0
    const unsigned day = dayOfYear - (153 * shifted + 2) / 5 + 1;
    const unsigned month = shifted < 10 ? shifted + 3 : shifted - 9;
    const auto year =
        static_cast<int>(static_cast<std::int64_t>(yearOfEra) + era * 400 + (month <= 2 ? 1 : 0));
    return {year, static_cast<int>(month), static_cast<int>(day)};
}

// A count of microseconds as whole days and the microseconds into the last
// one, without an intermediate product that could overflow near the ends
// of the 64-bit range (a server that sends anything may send those).
struct DaysAndTime {
    std::int64_t days;
    std::int64_t microseconds;  // 0 to one day
};

DaysAndTime splitDays(std::int64_t microseconds) {
    DaysAndTime split{microseconds / kMicrosecondsPerDay, microseconds % kMicrosecondsPerDay};
    if (split.microseconds < 0) {
        split.days -= 1;
        split.microseconds += kMicrosecondsPerDay;
    }
    return split;
}

bool isHandedOverYear(int year) {
    return year >= kFirstYear && year <= kLastYear;
}

QByteArray twoDigits(int number) {
    return QByteArray::number(number).rightJustified(2, '0');
}

// "YYYY-MM-DD", with the year of the era (0 is 1 BC).
QByteArray dateText(const DateValue& date) {
    const int year = date.year > 0 ? date.year : 1 - date.year;
    return QByteArray::number(year).rightJustified(4, '0') + '-' + twoDigits(date.month) + '-' +
           twoDigits(date.day);
}

// "HH:MM:SS", with the fraction the server writes (no trailing zeros).
QByteArray timeText(std::int64_t microseconds) {
    const std::int64_t seconds = microseconds / kMicrosecondsPerSecond;
    QByteArray text = twoDigits(static_cast<int>(seconds / 3600)) + ':' +
                      twoDigits(static_cast<int>(seconds / 60 % 60)) + ':' +
                      twoDigits(static_cast<int>(seconds % 60));
    if (const std::int64_t fraction = microseconds % kMicrosecondsPerSecond; fraction != 0) {
        QByteArray digits = QByteArray::number(fraction).rightJustified(6, '0');
        while (digits.endsWith('0'))
            digits.chop(1);
        text += '.' + digits;
    }
    return text;
}

}  // namespace

DateValue pgDate(std::int64_t days) {
    return civilFromDays(days + kDaysFrom1970To2000);
}

TimeValue pgTime(std::int64_t microseconds) {
    const std::int64_t seconds = microseconds / kMicrosecondsPerSecond;
    const auto fraction = static_cast<std::uint32_t>(microseconds % kMicrosecondsPerSecond);
    return {static_cast<int>(seconds / 3600), static_cast<int>(seconds / 60 % 60),
            static_cast<int>(seconds % 60), fraction * 1000};
}

PgTimestamp pgTimestamp(std::int64_t microseconds) {
    const DaysAndTime split = splitDays(microseconds);
    return {pgDate(split.days), pgTime(split.microseconds)};
}

bool isHandedOverDate(std::int32_t days, DateValue& date) {
    // The largest and smallest numbers stand for infinity and -infinity.
    if (days == std::numeric_limits<std::int32_t>::max() ||
        days == std::numeric_limits<std::int32_t>::min())
        return false;
    date = pgDate(days);
    return isHandedOverYear(date.year);
}

bool isHandedOverTime(std::int64_t microseconds) {
    return microseconds >= 0 && microseconds < kMicrosecondsPerDay;
}

bool isHandedOverTimestamp(std::int64_t microseconds, PgTimestamp& stamp) {
    if (microseconds == std::numeric_limits<std::int64_t>::max() ||
        microseconds == std::numeric_limits<std::int64_t>::min())
        return false;
    stamp = pgTimestamp(microseconds);
    return isHandedOverYear(stamp.date.year);
}

QByteArray pgDateText(std::int32_t days) {
    if (days == std::numeric_limits<std::int32_t>::max())
        return QByteArrayLiteral("infinity");
    if (days == std::numeric_limits<std::int32_t>::min())
        return QByteArrayLiteral("-infinity");
    const DateValue date = pgDate(days);
    return date.year > 0 ? dateText(date) : dateText(date) + " BC";
}

QByteArray pgTimeText(std::int64_t microseconds) {
    return timeText(microseconds);
}

QByteArray pgTimestampText(std::int64_t microseconds) {
    if (microseconds == std::numeric_limits<std::int64_t>::max())
        return QByteArrayLiteral("infinity");
    if (microseconds == std::numeric_limits<std::int64_t>::min())
        return QByteArrayLiteral("-infinity");
    const DaysAndTime split = splitDays(microseconds);
    const DateValue date = pgDate(split.days);
    QByteArray text = dateText(date) + ' ' + timeText(split.microseconds);
    return date.year > 0 ? text : text + " BC";
}

}  // namespace brivano::db
