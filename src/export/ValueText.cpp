#include "export/ValueText.h"

#include <charconv>
#include <cmath>

#include "db/StoredText.h"

namespace brivano::exporter {
namespace {

constexpr int kNumberBufferSize = 64;
constexpr int kMinExponentDigits = 2;
// Below this decimal exponent a real is written in exponent form.
constexpr int kSmallestFixedExponent = -4;
constexpr qsizetype kGuidSize = 16;
constexpr char kHexDigits[] = "0123456789ABCDEF";

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

void appendAscii(const char* begin, const char* end, QString& out) {
    out.append(QLatin1StringView(begin, end - begin));
}

}  // namespace

QLocale regionalSettings() {
    const QLocale system = QLocale::system();
    return system.language() == QLocale::C ? QLocale(QLocale::English, QLocale::UnitedStates)
                                           : system;
}

ValueText::ValueText(const QLocale& locale)
    : decimalSeparator_(locale.decimalPoint()), dateTime_(locale) {}

void ValueText::append(const db::Value& value, QString& out) const {
    switch (value.kind) {
        case db::ValueKind::Null:
            break;
        case db::ValueKind::Text:
        case db::ValueKind::Other:
            out.append(db::decodeStoredText(value.data));
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
            appendDecimal(QString::fromLatin1(value.data), out);
            break;
        case db::ValueKind::Boolean:
            out.append(value.boolean ? u"True" : u"False");
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

void ValueText::appendInteger(std::int64_t number, QString& out) const {
    char buffer[kNumberBufferSize];
    const auto written = std::to_chars(buffer, buffer + sizeof buffer, number);
    appendAscii(buffer, written.ptr, out);
}

void ValueText::appendUnsigned(std::uint64_t number, QString& out) const {
    char buffer[kNumberBufferSize];
    const auto written = std::to_chars(buffer, buffer + sizeof buffer, number);
    appendAscii(buffer, written.ptr, out);
}

void ValueText::appendSingle(float number, QString& out) const {
    appendReal(number, kSingleDigits, out);
}

void ValueText::appendDouble(double number, QString& out) const {
    appendReal(number, kDoubleDigits, out);
}

template <typename Real>
void ValueText::appendReal(Real number, int maxDigits, QString& out) const {
    if (std::isnan(number)) {
        out.append(u"NaN");
        return;
    }
    if (std::isinf(number)) {
        out.append(number < 0 ? u"-Infinity" : u"Infinity");
        return;
    }
    if (number == 0) {  // also -0, which reads as 0
        out.append(QChar(u'0'));
        return;
    }
    const SignificantDigits n = significantDigits(number, maxDigits);
    const char* digits = n.digits;
    if (n.negative)
        out.append(QChar(u'-'));
    if (n.exponent < kSmallestFixedExponent || n.exponent >= maxDigits) {
        out.append(QChar(QLatin1Char(digits[0])));
        if (n.count > 1) {
            out.append(decimalSeparator_);
            appendAscii(digits + 1, digits + n.count, out);
        }
        char exponent[kNumberBufferSize];
        char* at = exponent;
        *at++ = 'E';
        *at++ = n.exponent < 0 ? '-' : '+';
        char magnitude[kNumberBufferSize];
        const char* magnitudeEnd =
            std::to_chars(magnitude, magnitude + sizeof magnitude, std::abs(n.exponent)).ptr;
        for (auto width = magnitudeEnd - magnitude; width < kMinExponentDigits; ++width)
            *at++ = '0';
        appendAscii(exponent, at, out);
        appendAscii(magnitude, magnitudeEnd, out);
    } else if (n.exponent >= 0) {
        const int integerDigits = n.exponent + 1;
        appendAscii(digits, digits + std::min(integerDigits, n.count), out);
        for (int zero = n.count; zero < integerDigits; ++zero)
            out.append(QChar(u'0'));
        if (n.count > integerDigits) {
            out.append(decimalSeparator_);
            appendAscii(digits + integerDigits, digits + n.count, out);
        }
    } else {
        out.append(QChar(u'0'));
        out.append(decimalSeparator_);
        for (int zero = 1; zero < -n.exponent; ++zero)
            out.append(QChar(u'0'));
        appendAscii(digits, digits + n.count, out);
    }
}

void ValueText::appendDecimal(QStringView digits, QString& out) const {
    if (digits.contains(u'e') || digits.contains(u'E')) {
        out.append(digits);  // not the plain form this method reshapes
        return;
    }
    QStringView text = digits;
    const bool negative = text.startsWith(u'-');
    if (negative)
        text = text.sliced(1);
    QStringView integerPart = text;
    QStringView fraction;
    const qsizetype point = text.indexOf(u'.');
    if (point >= 0) {
        integerPart = text.first(point);
        fraction = text.sliced(point + 1);
        while (!fraction.isEmpty() && fraction.back() == u'0')
            fraction.chop(1);
    }
    auto allZeros = [](QStringView part) { return part.count(u'0') == part.size(); };
    // "-0.00" is zero, which has no sign.
    if (negative && !(allZeros(integerPart) && allZeros(fraction)))
        out.append(QChar(u'-'));
    if (integerPart.isEmpty())
        out.append(QChar(u'0'));  // ".5" still gets its integer digit
    else
        out.append(integerPart);
    if (!fraction.isEmpty()) {
        out.append(decimalSeparator_);
        out.append(fraction);
    }
}

void ValueText::appendHex(QByteArrayView bytes, QString& out) const {
    const qsizetype start = out.size();
    out.resize(start + 2 * bytes.size());
    QChar* at = out.data() + start;
    for (const char byte : bytes) {
        const auto value = static_cast<unsigned char>(byte);
        *at++ = QLatin1Char(kHexDigits[value >> 4]);
        *at++ = QLatin1Char(kHexDigits[value & 0xF]);
    }
}

void ValueText::appendGuid(QByteArrayView bytes, QString& out) const {
    if (bytes.size() != kGuidSize) {
        appendHex(bytes, out);
        return;
    }
    // {8-4-4-4-12} hexadecimal digits: bytes 0-3, 4-5, 6-7, 8-9 and 10-15.
    out.append(QChar(u'{'));
    appendHex(bytes.sliced(0, 4), out);
    for (const qsizetype group : {4, 6, 8}) {
        out.append(QChar(u'-'));
        appendHex(bytes.sliced(group, 2), out);
    }
    out.append(QChar(u'-'));
    appendHex(bytes.sliced(10, 6), out);
    out.append(QChar(u'}'));
}

}  // namespace brivano::exporter
