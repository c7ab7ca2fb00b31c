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

bool isUtf8(QByteArrayView text) {
    const auto* at = reinterpret_cast<const unsigned char*>(text.data());
    const auto* end = at + text.size();
    while (at < end) {
        const unsigned char lead = *at;
        if (lead < 0x80) {
            ++at;
            continue;
        }
        int trail = 0;
        char32_t codePoint = 0;
        if (lead >= 0xC2 && lead <= 0xDF) {
            trail = 1;
            codePoint = lead & 0x1F;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            trail = 2;
            codePoint = lead & 0x0F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            trail = 3;
            codePoint = lead & 0x07;
        } else {
            return false;
        }
        if (end - at <= trail)
            return false;
        for (int i = 1; i <= trail; ++i) {
            if ((at[i] & 0xC0) != 0x80)
                return false;
            codePoint = (codePoint << 6) | (at[i] & 0x3F);
        }
        // Overlong forms, surrogates and code points past U+10FFFF.
        constexpr char32_t kSmallest[] = {0, 0x80, 0x800, 0x10000};
        if (codePoint < kSmallest[trail] || (codePoint >= 0xD800 && codePoint <= 0xDFFF) ||
            codePoint > 0x10FFFF)
            return false;
        at += trail + 1;
    }
    return true;
}

}  // namespace brivano::db
