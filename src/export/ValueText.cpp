#include "export/ValueText.h"

#include <charconv>
#include <cmath>

#include "export/Digits.h"

namespace brivano::exporter {
namespace {

constexpr int kNumberBufferSize = 64;
constexpr int kMinExponentDigits = 2;
// Below this decimal exponent a real is written in exponent form.
constexpr int kSmallestFixedExponent = -4;
constexpr qsizetype kGuidSize = 16;

// A real number split into its significant digits and decimal exponent:
// value = 0.d1d2d3... * 10^(exponent + 1).
struct SignificantDigits {
    bool negative = false;
    char digits[kNumberBufferSize] = {};
    int count = 0;
    int exponent = 0;
};

// Reads the "-d.ddde+XX" text that std::to_chars writes in scientific form.
SignificantDigits split(const char* begin, const char* end) {
    SignificantDigits number;
    const char* at = begin;
    if (at != end && *at == '-') {
        number.negative = true;
        ++at;
    }
    for (; at != end && *at != 'e'; ++at) {
        if (*at >= '0' && *at <= '9')
            number.digits[number.count++] = *at;
    }
    if (at != end)
        ++at;  // 'e'
    if (at != end && *at == '+')
        ++at;  // from_chars takes no plus sign
    std::from_chars(at, end, number.exponent);
    while (number.count > 1 && number.digits[number.count - 1] == '0')
        --number.count;
    return number;
}

template <typename Real>
SignificantDigits significantDigits(Real value, int maxDigits) {
    char buffer[kNumberBufferSize];
    auto written =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific);
    SignificantDigits number = split(buffer, written.ptr);
    if (number.count > maxDigits) {
        written = std::to_chars(buffer, buffer + sizeof buffer, value,
                                std::chars_format::scientific, maxDigits - 1);
        number = split(buffer, written.ptr);
    }
    return number;
}

void appendAscii(const char* begin, const char* end, ByteBuffer& out) {
    out.append(begin, end - begin);
}

// Digits of an integer written where they go: room for the longest, then
// what was not used is given back.
template <typename Integer>
void appendDigits(Integer number, ByteBuffer& out) {
    constexpr qsizetype kRoom = 24;
    char* at = out.extend(kRoom);
    const char* end = std::to_chars(at, at + kRoom, number).ptr;
    out.truncate(out.size() - kRoom + (end - at));
}

// Exact powers of ten, and the reach of the short form below.
constexpr double kPowersOfTen[] = {1, 10, 100, 1e3, 1e4, 1e5, 1e6};
constexpr int kShortFractionDigits = 6;
constexpr double kShortLimit = 1e15;  // fewer than 16 digits in all
constexpr double kSmallestFixed = 1e-4;

}  // namespace

QLocale regionalSettings() {
    const QLocale system = QLocale::system();
    return system.language() == QLocale::C ? QLocale(QLocale::English, QLocale::UnitedStates)
                                           : system;
}

ValueText::ValueText(const QLocale& locale, CodePage& codePage)
    : codePage_(codePage),
      decimalSeparator_(codePage.encode(locale.decimalPoint())),
      dateTime_(locale, codePage) {}

void ValueText::append(const db::Value& value, ByteBuffer& out) const {
    switch (value.kind) {
        case db::ValueKind::Null:
            break;
        case db::ValueKind::Text:
        case db::ValueKind::Other:
            codePage_.appendUtf8(value.data, out);
            break;
        case db::ValueKind::Integer:
            appendInteger(value.integer, out);
            break;
        case db::ValueKind::Unsigned:
            appendUnsigned(value.unsignedInteger, out);
            break;
        case db::ValueKind::Single:
            appendSingle(static_cast<float>(value.real), out);
            break;
        case db::ValueKind::Double:
            appendDouble(value.real, out);
            break;
        case db::ValueKind::Decimal:
            appendDecimal(value.data, out);
            break;
        case db::ValueKind::Boolean:
            out.append(value.boolean ? "True" : "False");
            break;
        case db::ValueKind::Date:
            dateTime_.appendDate(value.date, out);
            break;
        case db::ValueKind::Time:
            dateTime_.appendTime(value.time, out);
            break;
        case db::ValueKind::Timestamp:
            dateTime_.appendTimestamp(value.date, value.time, out);
            break;
        case db::ValueKind::Binary:
            appendHex(value.data, out);
            break;
        case db::ValueKind::Guid:
            appendGuid(value.data, out);
            break;
    }
}

void ValueText::appendInteger(std::int64_t number, ByteBuffer& out) {
    appendDigits(number, out);
}

void ValueText::appendUnsigned(std::uint64_t number, ByteBuffer& out) {
    appendDigits(number, out);
}

void ValueText::appendSingle(float number, ByteBuffer& out) const {
    appendReal(number, kSingleDigits, out);
}

void ValueText::appendDouble(double number, ByteBuffer& out) const {
    if (!appendShortDouble(number, out))
        appendReal(number, kDoubleDigits, out);
}

// Most stored reals are short decimals (amounts, measures). A double x is
// written as the decimal D = n / 10^d with the fewest fraction digits d such
// that n is a whole number below 10^15 and D reads back as x: dividing two
// exact doubles rounds correctly, so n / 10^d == x proves it. Such a D is
// also what rounding x to 15 significant digits gives, the general rule
// below, so both ways write the same text; this one only skips the search
// for digits.
bool ValueText::appendShortDouble(double number, ByteBuffer& out) const {
    const double magnitude = std::fabs(number);
    if (!(magnitude >= kSmallestFixed && magnitude < kShortLimit))
        return false;
    for (int fractionDigits = 0; fractionDigits <= kShortFractionDigits; ++fractionDigits) {
        const double scaled = magnitude * kPowersOfTen[fractionDigits];
        if (scaled >= kShortLimit)
            return false;
        if (scaled != std::floor(scaled))
            continue;
        const auto whole = static_cast<std::uint64_t>(scaled);
        if (static_cast<double>(whole) / kPowersOfTen[fractionDigits] != magnitude)
            continue;
        if (number < 0)
            out.append('-');
        const auto unit = static_cast<std::uint64_t>(kPowersOfTen[fractionDigits]);
        appendDigits(whole / unit, out);
        std::uint64_t fraction = whole % unit;
        if (fraction == 0)
            return true;
        int digits = fractionDigits;
        while (fraction % 10 == 0) {
            fraction /= 10;
            --digits;
        }
        out.append(decimalSeparator_);
        writePaddedDigits(out.extend(digits), fraction, digits);
        return true;
    }
    return false;
}

template <typename Real>
void ValueText::appendReal(Real number, int maxDigits, ByteBuffer& out) const {
    if (std::isnan(number)) {
        out.append("NaN");
        return;
    }
    if (std::isinf(number)) {
        out.append(number < 0 ? "-Infinity" : "Infinity");
        return;
    }
    if (number == 0) {  // also -0, which reads as 0
        out.append('0');
        return;
    }
    const SignificantDigits n = significantDigits(number, maxDigits);
    const char* digits = n.digits;
    if (n.negative)
        out.append('-');
    if (n.exponent < kSmallestFixedExponent || n.exponent >= maxDigits) {
        out.append(digits[0]);
        if (n.count > 1) {
            out.append(decimalSeparator_);
            appendAscii(digits + 1, digits + n.count, out);
        }
        out.append('E');
        out.append(n.exponent < 0 ? '-' : '+');
        appendPaddedNumber(std::abs(n.exponent), kMinExponentDigits, out);
    } else if (n.exponent >= 0) {
        const int integerDigits = n.exponent + 1;
        appendAscii(digits, digits + std::min(integerDigits, n.count), out);
        for (int zero = n.count; zero < integerDigits; ++zero)
            out.append('0');
        if (n.count > integerDigits) {
            out.append(decimalSeparator_);
            appendAscii(digits + integerDigits, digits + n.count, out);
        }
    } else {
        out.append('0');
        out.append(decimalSeparator_);
        for (int zero = 1; zero < -n.exponent; ++zero)
            out.append('0');
        appendAscii(digits, digits + n.count, out);
    }
}

void ValueText::appendDecimal(QByteArrayView digits, ByteBuffer& out) const {
    if (digits.contains('e') || digits.contains('E')) {
        out.append(digits);  // not the plain form this method reshapes
        return;
    }
    QByteArrayView text = digits;
    const bool negative = text.startsWith('-');
    if (negative)
        text = text.sliced(1);
    QByteArrayView integerPart = text;
    QByteArrayView fraction;
    const qsizetype point = text.indexOf('.');
    if (point >= 0) {
        integerPart = text.first(point);
        fraction = text.sliced(point + 1);
        while (!fraction.isEmpty() && fraction.back() == '0')
            fraction.chop(1);
    }
    auto allZeros = [](QByteArrayView part) { return part.count('0') == part.size(); };
    // "-0.00" is zero, which has no sign.
    if (negative && !(allZeros(integerPart) && allZeros(fraction)))
        out.append('-');
    if (integerPart.isEmpty())
        out.append('0');  // ".5" still gets its integer digit
    else
        out.append(integerPart);
    if (!fraction.isEmpty()) {
        out.append(decimalSeparator_);
        out.append(fraction);
    }
}

void ValueText::appendHex(QByteArrayView bytes, ByteBuffer& out) {
    char* at = out.extend(2 * bytes.size());
    for (const char byte : bytes) {
        writeHexByte(at, static_cast<unsigned char>(byte));
        at += 2;
    }
}

void ValueText::appendGuid(QByteArrayView bytes, ByteBuffer& out) {
    if (bytes.size() != kGuidSize) {
        appendHex(bytes, out);
        return;
    }
    // {8-4-4-4-12} hexadecimal digits: bytes 0-3, 4-5, 6-7, 8-9 and 10-15.
    out.append('{');
    appendHex(bytes.sliced(0, 4), out);
    for (const qsizetype group : {4, 6, 8}) {
        out.append('-');
        appendHex(bytes.sliced(group, 2), out);
    }
    out.append('-');
    appendHex(bytes.sliced(10, 6), out);
    out.append('}');
}

}  // namespace brivano::exporter
