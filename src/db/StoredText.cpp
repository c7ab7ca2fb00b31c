#include "db/StoredText.h"

#include "db/IsoDateTime.h"
#include "db/ValueCheck.h"

namespace brivano::db {

bool isConvertedFromText(ValueKind kind) {
    switch (kind) {
        case ValueKind::Integer:
        case ValueKind::Unsigned:
        case ValueKind::Boolean:
        case ValueKind::Single:
        case ValueKind::Double:
        case ValueKind::Decimal:
        case ValueKind::Date:
        case ValueKind::Time:
        case ValueKind::Timestamp:
            return true;
        default:
            return false;
    }
}

bool convertStoredText(ValueKind kind, QByteArrayView text, Value& value, DateTimeForm form) {
    const QByteArrayView trimmed = text.trimmed();
    bool ok = false;
    switch (kind) {
        case ValueKind::Integer:
            value.integer = trimmed.toLongLong(&ok);
            return ok;
        case ValueKind::Unsigned:
            value.unsignedInteger = trimmed.toULongLong(&ok);
            return ok;
        case ValueKind::Boolean:
            value.boolean = trimmed.toLongLong(&ok) != 0;
            return ok;
        case ValueKind::Single:
            value.real = trimmed.toFloat(&ok);
            return ok;
        case ValueKind::Double:
            value.real = trimmed.toDouble(&ok);
            return ok;
        case ValueKind::Decimal:
            value.data = trimmed;
            return isDecimalText(trimmed);
        case ValueKind::Date:
            if (const auto date = parseIsoDate(trimmed, form)) {
                value.date = *date;
                return true;
            }
            return false;
        case ValueKind::Time:
            if (const auto time = parseIsoTime(trimmed, form)) {
                value.time = *time;
                return true;
            }
            return false;
        case ValueKind::Timestamp:
            if (const auto stamp = parseIsoTimestamp(trimmed, form)) {
                value.date = stamp->first;
                value.time = stamp->second;
                return true;
            }
            return false;
        default:
            return false;
    }
}

bool moneyDigits(QByteArrayView text, QByteArray& digits) {
    QByteArrayView rest = text.trimmed();
    digits.resize(0);
    if (rest.startsWith('-')) {
        digits.append('-');
        rest = rest.sliced(1);
    }
    const bool symbol = rest.startsWith('$');
    if (symbol)
        rest = rest.sliced(1);
    bool point = false;
    for (const char c : rest) {
        if (c >= '0' && c <= '9') {
            digits.append(c);
        } else if (c == '.' && !point) {
            point = true;
            digits.append(c);
        } else if (c != ',' || point || !symbol) {
            return false;  // group separators stand only before the point
        }
    }
    return isDecimalText(digits);
}

QString decodeStoredText(QByteArrayView text) {
    return isUtf8(text) ? QString::fromUtf8(text) : QString::fromLatin1(text);
}

}  // namespace brivano::db
