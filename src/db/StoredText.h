#pragma once

#include <QByteArrayView>

#include "db/Utf8Decoder.h"
#include "db/Value.h"

namespace brivano::db {

// Turns the text form of a stored value into a Value of `kind` (integers,
// booleans as integers, reals, decimals, dates and times), strictly: the
// whole text must be a value of that kind, so '12abc' is no integer and
// 'yes' no boolean. False when it is not; `value` is then unspecified.
bool convertStoredText(ValueKind kind, QByteArrayView text, Value& value, Utf8Decoder& utf8);

// True for the kinds convertStoredText() handles.
bool isConvertedFromText(ValueKind kind);

}  // namespace brivano::db
