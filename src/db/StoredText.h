#pragma once

#include <QByteArrayView>
#include <QString>

#include "db/Value.h"

namespace brivano::db {

// Turns the text form of a stored value into a Value of `kind` (integers,
// booleans as integers, reals, decimals, dates and times), strictly: the
// whole text must be a value of that kind, so '12abc' is no integer and
// 'yes' no boolean. False when it is not; `value` is then unspecified.
// A decimal's `data` points into `text`.
bool convertStoredText(ValueKind kind, QByteArrayView text, Value& value);

// The characters of a stored text: UTF-8, or Latin-1 when the bytes are
// not UTF-8, so that no byte is lost to a replacement character.
QString decodeStoredText(QByteArrayView text);

// True when `text` is well-formed UTF-8.
bool isUtf8(QByteArrayView text);

// True for the kinds convertStoredText() handles.
bool isConvertedFromText(ValueKind kind);

}  // namespace brivano::db
