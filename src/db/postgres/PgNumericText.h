#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <cstdint>

namespace brivano::db {

// What the bytes of a numeric in the server's binary form held.
enum class PgNumeric : std::uint8_t { Number, NotANumber, Malformed };

// Writes a numeric sent in the server's binary form as the server writes
// it ("12.2500", "-0.000123"): the digits with as many decimals as the
// value's scale. NaN and the infinities are written as the server writes
// them too, but are no number. Nothing the bytes say is trusted: a digit
// group outside 0-9999, a count that the bytes do not hold, a scale past
// the server's limit are Malformed.
PgNumeric pgNumericText(QByteArrayView bytes, QByteArray& out);

// Writes a money amount (in its smallest unit) with `scale` decimals.
void pgMoneyText(std::int64_t amount, int scale, QByteArray& out);

}  // namespace brivano::db
