#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <cstdint>

namespace brivano::db {

// Writes a numeric sent in the server's binary form as the server writes
// it ("12.2500", "-0.000123", "NaN", "Infinity"): the digits with as many
// decimals as the value's scale. False when the bytes are no numeric.
bool pgNumericText(QByteArrayView bytes, QByteArray& out);

// Writes a money amount (in its smallest unit) with `scale` decimals.
void pgMoneyText(std::int64_t amount, int scale, QByteArray& out);

}  // namespace brivano::db
