#include "export/EntryForms.h"

#include "db/AdoTypes.h"
#include "db/Value.h"
#include "export/CodePage.h"
#include "export/ExportFormat.h"
#include "export/ValueText.h"

namespace brivano::exporter {
namespace {

constexpr int kWesternEurope = 1252;

bool allOf(QByteArrayView text, bool (*allowed)(char)) {
    for (const char c : text) {
        if (!allowed(c))
            return false;
    }
    return true;
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

bool isHexDigit(char c) {
    return isDigit(c) || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

bool isIntegerText(QByteArrayView text) {
    if (text.startsWith('-') || text.startsWith('+'))
        text = text.sliced(1);
    return !text.isEmpty() && allOf(text, isDigit);
}

bool isRealText(QByteArrayView text, bool commaAllowed) {
    if (text == "NaN" || text == "Infinity" || text == "-Infinity")
        return true;
    // A decimal separator appears once: a second comma is a separator.
    int commas = commaAllowed ? 1 : 0;
    for (const char c : text) {
        if (c == kSeparator && --commas < 0)
            return false;
        if (!isDigit(c) && c != '-' && c != '+' && c != '.' && c != kSeparator && c != 'E')
            return false;
    }
    return true;
}

bool isGuidText(QByteArrayView text) {
    return text.startsWith('{') && text.endsWith('}') &&
           allOf(text.sliced(1, text.size() - 2), [](char c) { return isHexDigit(c) || c == '-'; });
}

bool holdsComma(const ValueText& text, const db::Value& value) {
    ByteBuffer written;
    text.append(value, written);
    return written.view().contains(kSeparator);
}

}  // namespace

CommaSettings CommaSettings::of(const QLocale& locale) {
    CodePage codePage(kWesternEurope);
    const ValueText text(locale, codePage);
    db::Value real;
    real.kind = db::ValueKind::Double;
    real.real = 1.5;
    db::Value timestamp;
    timestamp.kind = db::ValueKind::Timestamp;
    timestamp.date = {2026, 12, 31};
    timestamp.time = {23, 59, 58, 0};
    return {holdsComma(text, real), holdsComma(text, timestamp)};
}

ColumnForm columnForm(std::int16_t typeCode, CommaSettings commas) {
    if (isQuoted(typeCode))
        return {true, false, false, EntryShape::Text};
    switch (typeCode) {
        case db::adSmallInt:
        case db::adInteger:
        case db::adTinyInt:
        case db::adUnsignedTinyInt:
        case db::adUnsignedSmallInt:
        case db::adUnsignedInt:
        case db::adBigInt:
        case db::adUnsignedBigInt:
            return {false, false, false, EntryShape::Integer};
        case db::adSingle:
        case db::adDouble:
        case db::adNumeric:
            return {false, commas.decimalComma, false, EntryShape::Real};
        case db::adBoolean:
            return {false, false, false, EntryShape::Boolean};
        case db::adBinary:
        case db::adVarBinary:
        case db::adLongVarBinary:
            return {false, false, false, EntryShape::Hex};
        case db::adGUID:
            return {false, false, false, EntryShape::Guid};
        case db::adDBDate:
        case db::adDBTime:
            return {false, commas.dateComma, false, EntryShape::DateTime};
        default:
            // Variable-length text, and a type that could not be read: its
            // values were written as they are.
            return {false, true, true, EntryShape::Text};
    }
}

bool fitsShape(const ColumnForm& form, QByteArrayView text) {
    if (form.shape == EntryShape::Text && form.mayHoldComma)
        return true;  // anything at all
    if (fitsEveryColumn(text))
        return true;
    switch (form.shape) {
        case EntryShape::Text:
        case EntryShape::DateTime:
            return form.mayHoldComma || !text.contains(kSeparator);
        case EntryShape::Integer:
            return isIntegerText(text);
        case EntryShape::Real:
            return isRealText(text, form.mayHoldComma);
        case EntryShape::Boolean:
            return text == "True" || text == "False";
        case EntryShape::Hex:
            return allOf(text, isHexDigit);
        case EntryShape::Guid:
            return isGuidText(text);
    }
    return true;
}

}  // namespace brivano::exporter
