#pragma once

#include <cstdint>
#include <cstring>

#include "export/ByteBuffer.h"

namespace brivano::exporter {

// The digits of the value texts, written where they go: a table of the
// hundred decimal digit pairs, so that a number costs one division by 100
// per two digits, and the sixteen upper-case hexadecimal digits.

inline constexpr char kDigitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";
inline constexpr char kHexDigits[] = "0123456789ABCDEF";

// The two digits of `value`, 0 to 99, at `at`.
inline void writeTwoDigits(char* at, unsigned value) {
    std::memcpy(at, kDigitPairs + 2 * value, 2);
}

// The four digits of `value`, 0 to 9999, at `at`.
inline void writeFourDigits(char* at, unsigned value) {
    writeTwoDigits(at, value / 100);
    writeTwoDigits(at + 2, value % 100);
}

// The last `width` digits of `value` at `at`, zeros in front.
inline void writePaddedDigits(char* at, std::uint64_t value, int width) {
    for (; width >= 2; width -= 2) {
        writeTwoDigits(at + width - 2, static_cast<unsigned>(value % 100));
        value /= 100;
    }
    if (width == 1)
        *at = static_cast<char>('0' + value % 10);
}

// Appends `value` in decimal, zero-padded to `width` digits, "-" first when
// negative.
inline void appendPaddedNumber(int value, int width, ByteBuffer& out) {
    // Days, months, hours, minutes, seconds and exponents: one or two
    // digits; years: four.
    if (value >= 0 && value < 100 && width <= 2) {
        if (value >= 10 || width == 2)
            writeTwoDigits(out.extend(2), static_cast<unsigned>(value));
        else
            out.append(static_cast<char>('0' + value));
        return;
    }
    if (value >= 0 && value < 10000 && width == 4) {
        writeFourDigits(out.extend(4), static_cast<unsigned>(value));
        return;
    }
    if (value < 0)
        out.append('-');
    const std::uint32_t magnitude =
        value < 0 ? 0u - static_cast<std::uint32_t>(value) : static_cast<std::uint32_t>(value);
    int count = 1;
    for (std::uint32_t rest = magnitude / 10; rest != 0; rest /= 10)
        ++count;
    const int digits = count > width ? count : width;
    writePaddedDigits(out.extend(digits), magnitude, digits);
}

// The two hexadecimal digits of `byte` at `at`.
inline void writeHexByte(char* at, unsigned char byte) {
    at[0] = kHexDigits[byte >> 4];
    at[1] = kHexDigits[byte & 0xF];
}

}  // namespace brivano::exporter
