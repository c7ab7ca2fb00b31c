#pragma once

#include <QString>
#include <QStringEncoder>

#include "db/Value.h"
#include "db/ado/AdoCom.h"

namespace brivano::db::ado {

// Turns what a Field's Value gives (a VARIANT) into the value the engine
// writes. Null is null; text (a BSTR) is its characters in UTF-8; a byte
// array is its bytes, written in hexadecimal as every provider writes
// binary columns. Every other value takes ADO's own conversion to text
// under the user's regional settings (VariantChangeTypeEx with
// LOCALE_USER_DEFAULT): numbers with the locale's decimal separator, dates
// and times in its short forms, currency and decimals as numbers. Booleans
// are "True" and "False", as the other providers write them, whatever the
// language. The text stays valid until the next read.
class AdoValueReader {
  public:
    // `column` names the column in the error raised for a value that has
    // no text form (an object, an array of something else than bytes).
    void read(const VARIANT& variant, const QString& column, Value& value);

  private:
    void storeText(QStringView text, Value& value);
    void storeBytes(const VARIANT& variant, const QString& column, Value& value);

    Variant text_;  // the last conversion's result, cleared by the next
    QStringEncoder utf8_{QStringEncoder::Utf8, QStringEncoder::Flag::Stateless};
};

}  // namespace brivano::db::ado
