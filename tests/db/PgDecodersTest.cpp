// The built-in PostgreSQL provider reads values in the server's binary form:
// bytes that break the form are refused, never turned into text that looks
// like a number, and no count or date the bytes claim leads to arithmetic
// that overflows.
#include <gtest/gtest.h>

#include <QByteArray>
#include <limits>

#include "db/postgres/PgDateTime.h"
#include "db/postgres/PgNumericText.h"

namespace brivano::db {
namespace {

// A numeric in the binary form: digit count, weight, sign, scale, digits.
QByteArray numeric(std::initializer_list<int> header, std::initializer_list<int> digits) {
    QByteArray bytes;
    for (const int part : header) {
        bytes += static_cast<char>((part >> 8) & 0xFF);
        bytes += static_cast<char>(part & 0xFF);
    }
    for (const int digit : digits) {
        bytes += static_cast<char>((digit >> 8) & 0xFF);
        bytes += static_cast<char>(digit & 0xFF);
    }
    return bytes;
}

TEST(PgDecoders, NumericsAreReadOnlyWhenTheirBytesAreANumber) {
    struct Case {
        const char* what;
        QByteArray bytes;
        PgNumeric expected;
        const char* text;
    };
    const Case cases[] = {
        {"12.25", numeric({2, 0, 0x0000, 2}, {12, 2500}), PgNumeric::Number, "12.25"},
        {"-0.000123", numeric({2, -1, 0x4000, 6}, {1, 2300}), PgNumeric::Number, "-0.000123"},
        {"NaN", numeric({0, 0, 0xC000, 0}, {}), PgNumeric::NotANumber, "NaN"},
        {"-Infinity", numeric({0, 0, 0xF000, 0}, {}), PgNumeric::NotANumber, "-Infinity"},
        {"a group past 9999", numeric({1, 0, 0x0000, 0}, {10000}), PgNumeric::Malformed, ""},
        {"a negative group", numeric({1, 0, 0x0000, 0}, {-1}), PgNumeric::Malformed, ""},
        {"fewer digits than counted", numeric({3, 0, 0x0000, 0}, {1}), PgNumeric::Malformed, ""},
        {"a negative count", numeric({-1, 0, 0x0000, 0}, {}), PgNumeric::Malformed, ""},
        {"a scale past the server's", numeric({1, 0, 0x0000, 0x8000}, {1}), PgNumeric::Malformed,
         ""},
        {"an unknown sign", numeric({1, 0, 0x1234, 0}, {1}), PgNumeric::Malformed, ""},
        {"NaN with digits", numeric({1, 0, 0xC000, 0}, {1}), PgNumeric::Malformed, ""},
        {"a header cut short", QByteArray("\0\1\0", 3), PgNumeric::Malformed, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QByteArray text;
        EXPECT_EQ(pgNumericText(c.bytes, text), c.expected);
        if (c.expected != PgNumeric::Malformed) {
            EXPECT_EQ(text, QByteArray(c.text));
        }
    }
}

TEST(PgDecoders, TimestampsAtTheEndsOfTheRangeAreRefusedWithTheirText) {
    constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
    constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
    for (const std::int64_t microseconds :
         {kMin, kMin + 1, kMin + 86'400'000'000 - 1, kMax - 1, kMax}) {
        SCOPED_TRACE(microseconds);
        PgTimestamp stamp;
        EXPECT_FALSE(isHandedOverTimestamp(microseconds, stamp));
        EXPECT_FALSE(pgTimestampText(microseconds).isEmpty());
    }
    PgTimestamp stamp;
    ASSERT_TRUE(isHandedOverTimestamp(-86'400'000'000 - 1, stamp));  // a microsecond before 1999
    EXPECT_EQ(pgTimestampText(-86'400'000'000 - 1), QByteArray("1999-12-30 23:59:59.999999"));
    EXPECT_EQ(stamp.date.year, 1999);
    EXPECT_EQ(stamp.time.hour, 23);
}

}  // namespace
}  // namespace brivano::db
