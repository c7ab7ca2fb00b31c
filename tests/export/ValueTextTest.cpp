#include <gtest/gtest.h>

#include <QLocale>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <random>
#include <string>

#include "export/CleanText.h"
#include "export/ValueText.h"
#include "platform/AnsiCodePage.h"

namespace brivano::exporter {
namespace {

using db::Value;
using db::ValueKind;

Value integer(std::int64_t number) {
    Value value;
    value.kind = ValueKind::Integer;
    value.integer = number;
    return value;
}

Value real(ValueKind kind, double number) {
    Value value;
    value.kind = kind;
    value.real = number;
    return value;
}

Value text(ValueKind kind, const QString& characters) {
    Value value;
    value.kind = kind;
    value.buffer = characters.toUtf8();
    value.keepBuffer();
    return value;
}

Value bytes(ValueKind kind, const QByteArray& content) {
    Value value;
    value.kind = kind;
    value.buffer = content;
    value.keepBuffer();
    return value;
}

Value timestamp(ValueKind kind, db::DateValue date, db::TimeValue time = {}) {
    Value value;
    value.kind = kind;
    value.date = date;
    value.time = time;
    return value;
}

Value boolean(bool truth) {
    Value value;
    value.kind = ValueKind::Boolean;
    value.boolean = truth;
    return value;
}

// The text that `value` gets under `locale`, read back from the bytes of
// the code page that goes with the locale's language.
QString textOf(const Value& value, const QLocale& locale) {
    const int codePage = platform::codePageForLocale(locale.name());
    CodePage encoder(codePage);
    ByteBuffer out;
    ValueText(locale, encoder).append(value, out);
    return platform::decodeCodePage(out.view(), codePage);
}

struct Case {
    const char* what;
    Value value;
    QString expected;
};

const QLocale kItalian(QLocale::Italian, QLocale::Italy);
const QLocale kAmerican(QLocale::English, QLocale::UnitedStates);
const QLocale kGerman(QLocale::German, QLocale::Germany);

TEST(ValueText, NumbersUseDigitsAndTheLocaleDecimalSeparator) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double infinity = std::numeric_limits<double>::infinity();
    const std::vector<Case> cases = {
        {"zero", integer(0), "0"},
        {"negative integer", integer(-42), "-42"},
        {"no grouping", integer(1234567), "1234567"},
        {"smallest 64-bit", integer(std::numeric_limits<std::int64_t>::min()),
         "-9223372036854775808"},
        {"unsigned beyond signed",
         [] {
             Value value;
             value.kind = ValueKind::Unsigned;
             value.unsignedInteger = std::numeric_limits<std::uint64_t>::max();
             return value;
         }(),
         "18446744073709551615"},
        {"double with fraction", real(ValueKind::Double, 1.5), "1,5"},
        {"negative double", real(ValueKind::Double, -2.25), "-2,25"},
        {"double needing 17 digits rounds to 15", real(ValueKind::Double, 0.1 + 0.2), "0,3"},
        {"a third in 15 digits", real(ValueKind::Double, 1.0 / 3), "0,333333333333333"},
        {"whole double", real(ValueKind::Double, 100), "100"},
        {"fifteen integer digits", real(ValueKind::Double, 123456789012345.0), "123456789012345"},
        {"sixteen integer digits", real(ValueKind::Double, 1e15), "1E+15"},
        {"large with fraction", real(ValueKind::Double, 1.25e300), "1,25E+300"},
        {"small fixed", real(ValueKind::Double, 0.0001), "0,0001"},
        {"small exponent", real(ValueKind::Double, 1.5e-7), "1,5E-07"},
        {"negative zero", real(ValueKind::Double, -0.0), "0"},
        {"not a number", real(ValueKind::Double, nan), "NaN"},
        {"infinity", real(ValueKind::Double, -infinity), "-Infinity"},
        {"single shortest", real(ValueKind::Single, 0.1f), "0,1"},
        {"single a third in 7 digits", real(ValueKind::Single, 1.0f / 3), "0,3333333"},
        {"single of eight integer digits", real(ValueKind::Single, 16777216.0f), "1,677722E+07"},
        {"decimal drops trailing zeros", text(ValueKind::Decimal, "123.4500"), "123,45"},
        {"decimal drops a bare point", text(ValueKind::Decimal, "10.000"), "10"},
        {"decimal integer keeps its zeros", text(ValueKind::Decimal, "100"), "100"},
        {"negative decimal", text(ValueKind::Decimal, "-12.50"), "-12,5"},
        {"negative zero decimal", text(ValueKind::Decimal, "-0.000"), "0"},
        {"decimal beyond a double", text(ValueKind::Decimal, "12345678901234567890.123456789"),
         "12345678901234567890,123456789"},
        {"decimal without integer digit", text(ValueKind::Decimal, ".5"), "0,5"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(textOf(c.value, kItalian), c.expected) << c.what;
}

TEST(ValueText, EveryDoubleIsItsFifteenDigitRounding) {
    // Short decimals take a quicker road than other reals; both must give
    // what rounding to 15 significant digits gives (Qt's own conversion
    // here), over many kinds of value.
    std::vector<double> values;
    std::mt19937_64 random(20261208);
    for (int i = 1; i <= 20000; ++i) {
        values.push_back(i * 1.25);
        values.push_back(i * 0.01);
        values.push_back(-i / 3.0);
        values.push_back(i * 0.1 + 0.2);
        values.push_back(std::ldexp(static_cast<double>(random() >> 11), -(i % 60)));
        values.push_back(123456789012345.0 - i);
        values.push_back(0.0001 * i);
    }
    // Where x lies exactly halfway between two 15-digit numbers, Qt rounds
    // the half up and we to the even digit, as the C++ library does.
    const auto isHalfway = [](double value) {
        char digits[128];
        const auto end =
            std::to_chars(digits, digits + sizeof digits, value, std::chars_format::scientific, 60)
                .ptr;
        const std::string exact(digits, std::find(digits, end, 'e'));
        const std::string tail = exact.substr(16);  // after 15 significant digits
        return tail.find_first_not_of('0', 1) == std::string::npos && tail[0] == '5';
    };
    CodePage encoder(1252);
    const ValueText text(kAmerican, encoder);
    for (const double value : values) {
        if (isHalfway(value))
            continue;
        ByteBuffer out;
        text.appendDouble(value, out);
        const QString expected = QString::number(value, 'g', 15).toUpper();
        ASSERT_EQ(QString::fromLatin1(out.view()), expected) << value;
    }
}

TEST(ValueText, DatesAndTimesFollowTheLocaleWithAFourDigitYear) {
    const db::DateValue december7{2026, 12, 7};
    const db::TimeValue morning{10, 15, 0, 0};
    const db::TimeValue afternoon{14, 5, 9, 999999999};
    struct LocaleCase {
        const char* what;
        QLocale locale;
        Value value;
        QString expected;
    };
    const std::vector<LocaleCase> cases = {
        {"it date", kItalian, timestamp(ValueKind::Date, december7), "07/12/2026"},
        {"it time", kItalian, timestamp(ValueKind::Time, {}, morning), "10:15:00"},
        {"it timestamp", kItalian, timestamp(ValueKind::Timestamp, december7, morning),
         "07/12/2026 10:15:00"},
        {"it fraction dropped", kItalian, timestamp(ValueKind::Timestamp, december7, afternoon),
         "07/12/2026 14:05:09"},
        {"it midnight is the date alone", kItalian,
         timestamp(ValueKind::Timestamp, december7, {0, 0, 0, 0}), "07/12/2026"},
        {"it midnight with a fraction", kItalian,
         timestamp(ValueKind::Timestamp, december7, {0, 0, 0, 500}), "07/12/2026"},
        {"it one second past midnight", kItalian,
         timestamp(ValueKind::Timestamp, december7, {0, 0, 1, 0}), "07/12/2026 00:00:01"},
        {"it early year", kItalian, timestamp(ValueKind::Date, {33, 1, 2}), "02/01/0033"},
        {"it year wider than its field", kItalian, timestamp(ValueKind::Date, {12026, 1, 2}),
         "02/01/12026"},
        {"us date", kAmerican, timestamp(ValueKind::Date, december7), "12/7/2026"},
        {"us morning", kAmerican, timestamp(ValueKind::Time, {}, morning), "10:15:00 AM"},
        {"us timestamp", kAmerican, timestamp(ValueKind::Timestamp, december7, afternoon),
         "12/7/2026 2:05:09 PM"},
        {"us noon", kAmerican, timestamp(ValueKind::Time, {}, {12, 0, 0, 0}), "12:00:00 PM"},
        {"us just past midnight", kAmerican, timestamp(ValueKind::Time, {}, {0, 30, 0, 0}),
         "12:30:00 AM"},
        {"de date", kGerman, timestamp(ValueKind::Date, december7), "07.12.2026"},
        {"C month name", QLocale::c(), timestamp(ValueKind::Date, december7), "7 Dec 2026"},
        {"ja literal letters", QLocale(QLocale::Japanese, QLocale::Japan),
         timestamp(ValueKind::Time, {}, morning), "10時15分00秒"},
        {"fa time zone in brackets dropped", QLocale(QLocale::Persian, QLocale::Iran),
         timestamp(ValueKind::Time, {}, morning), "10:15:00"},
    };
    for (const LocaleCase& c : cases)
        EXPECT_EQ(textOf(c.value, c.locale), c.expected) << c.what;
}

TEST(ValueText, TheCLocaleWritesAmericanDatesNotMonthNames) {
    // Machines without a configured locale run in C/POSIX: their export
    // must still carry dates a receiving installation can read.
    const QLocale settings = regionalSettings();
    EXPECT_NE(settings.language(), QLocale::C);
    if (QLocale::system().language() == QLocale::C) {
        EXPECT_EQ(textOf(timestamp(ValueKind::Date, {2026, 12, 7}), settings),
                  QStringLiteral("12/7/2026"));
    } else {
        EXPECT_EQ(settings, QLocale::system());
    }
}

TEST(ValueText, OtherKindsHaveFixedForms) {
    const QByteArray guid = QByteArray::fromHex("0123456789abcdef0011223344556677");
    const std::vector<Case> cases = {
        {"true", boolean(true), "True"},
        {"false", boolean(false), "False"},
        {"binary in upper-case hex", bytes(ValueKind::Binary, QByteArray::fromHex("00ab10ff")),
         "00AB10FF"},
        {"empty binary", bytes(ValueKind::Binary, {}), ""},
        {"guid", bytes(ValueKind::Guid, guid), "{01234567-89AB-CDEF-0011-223344556677}"},
        {"guid of odd size as hex", bytes(ValueKind::Guid, QByteArray::fromHex("abcd")), "ABCD"},
        {"text unchanged", text(ValueKind::Text, " a,'b'\r\n "), " a,'b'\r\n "},
        {"database's own text", text(ValueKind::Other, "POINT(1 2)"), "POINT(1 2)"},
        {"null appends nothing", Value{}, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(textOf(c.value, kItalian), c.expected) << c.what;
    EXPECT_EQ(textOf(real(ValueKind::Double, 1.5), kAmerican), "1.5");
    EXPECT_EQ(textOf(real(ValueKind::Double, 1.5), kGerman), "1,5");
}

TEST(CleanText, ReplacesApostrophesAndCarriageReturnsAfterTrimmingBlanks) {
    struct TextCase {
        const char* what;
        QString stored;
        QString written;
    };
    const std::vector<TextCase> cases = {
        {"padding dropped", "A-001 ", "A-001"},
        {"outer blanks and apostrophe", "  Rondella d'acciaio  ", "Rondella d acciaio"},
        {"trailing CR becomes a blank inside", "abc\r", "abc "},
        {"CR LF keeps its LF", "a\r\nb", "a \nb"},
        {"blanks only", "   ", ""},
        {"empty", "", ""},
        {"tabs are not trimmed", "\tx\t", "\tx\t"},
        {"commas and quotes stay", "a,\"b\"", "a,\"b\""},
    };
    for (const TextCase& c : cases) {
        QByteArray text = trimBlanks(c.stored.toLatin1()).toByteArray();
        CleanText(text);
        EXPECT_EQ(QString::fromLatin1(text), c.written) << c.what;
    }
}

}  // namespace
}  // namespace brivano::exporter
