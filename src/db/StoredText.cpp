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

bool convertStoredText(ValueKind kind, QByteArrayView text, Value& value, Utf8Decoder& utf8) {
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
            utf8.decode(trimmed, value.text);
            return isDecimalText(value.text);
        case ValueKind::Date:
            if (const auto date = parseIsoDate(trimmed)) {
                value.date = *date;
                return true;
            }
            return false;
        case ValueKind::Time:
            if (const auto time = parseIsoTime(trimmed)) {
                value.time = *time;
                return true;
            }
            return false;
        case ValueKind::Timestamp:
            if (const auto stamp = parseIsoTimestamp(trimmed)) {
                value.date = stamp->first;
                value.time = stamp->second;
                return true;
            }
            return false;
        default:
            return false;
    }
}

}  // namespace brivano::db
