#include "db/postgres/PgNumericText.h"

#include <algorithm>
#include <charconv>
#include <cstring>

#include "db/postgres/PgBinary.h"

namespace brivano::db {

namespace {

// A numeric is stored in base 10000: four decimal digits to each digit.
constexpr int kDecimalDigits = 4;
constexpr std::uint16_t kPositive = 0x0000;
constexpr std::uint16_t kNegative = 0x4000;
constexpr std::uint16_t kNaN = 0xC000;
constexpr std::uint16_t kInfinity = 0xD000;
constexpr std::uint16_t kMinusInfinity = 0xF000;
constexpr int kHeaderBytes = 8;
constexpr int kLargestGroup = 9999;
// The server's own limit on a numeric's display scale.
constexpr int kMaxScale = 0x3FFF;

// Writes the four decimal digits of one base-10000 digit; in the leading
// digit, without its leading zeros.
char* putDigit(int digit, bool leading, char* at) {
    const int parts[kDecimalDigits] = {digit / 1000, digit / 100 % 10, digit / 10 % 10, digit % 10};
    bool started = !leading;
    for (int k = 0; k < kDecimalDigits; ++k) {
        started = started || parts[k] > 0 || k == kDecimalDigits - 1;
        if (started)
            *at++ = static_cast<char>('0' + parts[k]);
    }
    return at;
}

// Copies into the buffer the value keeps, which keeps its capacity.
void setText(QByteArray& out, QByteArrayView text) {
    out.resize(text.size());
    std::memcpy(out.data(), text.data(), static_cast<size_t>(text.size()));
}

bool specialText(std::uint16_t sign, QByteArray& out) {
    switch (sign) {
        case kNaN:
            setText(out, "NaN");
            return true;
        case kInfinity:
            setText(out, "Infinity");
            return true;
        case kMinusInfinity:
            setText(out, "-Infinity");
            return true;
        default:
            return false;
    }
}

}  // namespace

PgNumeric pgNumericText(QByteArrayView bytes, QByteArray& out) {
    if (bytes.size() < kHeaderBytes)
        return PgNumeric::Malformed;
    const char* data = bytes.data();
    const int count = pgInt16(data);
    const int weight = pgInt16(data + 2);
    const std::uint16_t sign = pgUint16(data + 4);
    const int scale = pgUint16(data + 6);
    if (specialText(sign, out))
        return bytes.size() == kHeaderBytes ? PgNumeric::NotANumber : PgNumeric::Malformed;
    if ((sign != kPositive && sign != kNegative) || count < 0 || scale > kMaxScale ||
        bytes.size() != kHeaderBytes + 2 * count)
        return PgNumeric::Malformed;
    for (int d = 0; d < count; ++d) {
        const int group = pgInt16(data + kHeaderBytes + 2 * d);
        if (group < 0 || group > kLargestGroup)
            return PgNumeric::Malformed;
    }
    const auto digitAt = [&](int d) {
        return d >= 0 && d < count ? pgInt16(data + kHeaderBytes + 2 * d) : 0;
    };
    const int integerDigits = weight < 0 ? 1 : (weight + 1) * kDecimalDigits;
    out.resize(1 + integerDigits + 1 + scale + kDecimalDigits);
    char* at = out.data();
    if (sign == kNegative)
        *at++ = '-';
    int d = 0;
    if (weight < 0) {
        *at++ = '0';
        d = weight + 1;
    } else {
        for (; d <= weight; ++d)
            at = putDigit(digitAt(d), d == 0, at);
    }
    if (scale > 0) {
        *at++ = '.';
        char* const end = at + scale;
        for (int written = 0; written < scale; ++d, written += kDecimalDigits)
            at = putDigit(digitAt(d), false, at);
        at = end;  // the last digit may hold more decimals than the scale
    }
    out.resize(at - out.constData());
    return PgNumeric::Number;
}

void pgMoneyText(std::int64_t amount, int scale, QByteArray& out) {
    constexpr int kMaxDigits = 24;
    char digits[kMaxDigits];
    const std::uint64_t magnitude =
        amount < 0 ? 0 - static_cast<std::uint64_t>(amount) : static_cast<std::uint64_t>(amount);
    const int length =
        static_cast<int>(std::to_chars(digits, digits + kMaxDigits, magnitude).ptr - digits);
    // At least one digit before the point: 5 cents are "0.05".
    const int integerDigits = std::max(length - scale, 1);
    out.resize((amount < 0 ? 1 : 0) + integerDigits + (scale > 0 ? 1 + scale : 0));
    char* at = out.data();
    if (amount < 0)
        *at++ = '-';
    const int padded = integerDigits + scale;  // digits with leading zeros
    for (int k = 0; k < padded; ++k) {
        if (k == integerDigits)
            *at++ = '.';
        const int source = k - (padded - length);
        *at++ = source >= 0 ? digits[source] : '0';
    }
}

}  // namespace brivano::db
