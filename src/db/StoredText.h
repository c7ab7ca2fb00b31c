#pragma once

#include <QByteArrayView>
#include <QString>

#include "db/IsoDateTime.h"
#include "db/Utf8.h"
#include "db/Value.h"

namespace brivano::db {

// Turns the text form of a stored value into a Value of `kind` (integers,
// booleans as integers, reals, decimals, dates and times), strictly: the
// whole text must be a value of that kind, so '12abc' is no integer and
// 'yes' no boolean. False when it is not; `value` is then unspecified.
// A decimal's `data` points into `text`. Dates and times are read in
// `form` (see IsoDateTime.h).
bool convertStoredText(ValueKind kind, QByteArrayView text, Value& value,
                       DateTimeForm form = DateTimeForm::Stored);

// PostgreSQL's text of a money value: as numeric, "-1234.50", or in the C
// monetary locale, "-$1,234.50"; as exact digits "-1234.50" in `digits`.
// False for any other text.
bool moneyDigits(QByteArrayView text, QByteArray& digits);

// The characters of a stored text: UTF-8, or Latin-1 when the bytes are
// not UTF-8, so that no byte is lost to a replacement character.
QString decodeStoredText(QByteArrayView text);

// True for the kinds convertStoredText() handles.
bool isConvertedFromText(ValueKind kind);

}  // namespace brivano::db
