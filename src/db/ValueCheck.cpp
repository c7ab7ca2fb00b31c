#include "db/ValueCheck.h"

#include "db/ColumnShape.h"
#include "db/StoredText.h"
#include "texts/Texts.h"

namespace brivano::db {

namespace {

// SQLSTATE 22018: a stored character value that does not convert to the column's type.
constexpr QStringView kInvalidCast = u"22018";
constexpr qsizetype kShownCharacters = 40;

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Skips the digits from `at`; returns how many there were.
qsizetype skipDigits(QByteArrayView text, qsizetype& at) {
    const qsizetype start = at;
    while (at < text.size() && isDigit(text[at])) {
        ++at;
    }
    return at - start;
}

QString validType(std::int16_t type) {
    switch (valueKindFor(type)) {
        case ValueKind::Integer:
            return texts::kValidInteger.toString();
        case ValueKind::Unsigned:
            return texts::kValidUnsigned.toString();
        case ValueKind::Single:
        case ValueKind::Double:
            return texts::kValidReal.toString();
        case ValueKind::Decimal:
            return texts::kValidDecimal.toString();
        case ValueKind::Boolean:
            return texts::kValidBoolean.toString();
        case ValueKind::Date:
            return texts::kValidDate.toString();
        case ValueKind::Time:
            return texts::kValidTime.toString();
        case ValueKind::Timestamp:
            return texts::kValidTimestamp.toString();
        default:
            return texts::validValueOfType(type);
    }
}

}  // namespace

bool isDecimalText(QByteArrayView text) {
    qsizetype at = 0;
    if (at < text.size() && (text[at] == '-' || text[at] == '+')) {
        ++at;
    }
    qsizetype digits = skipDigits(text, at);
    if (at < text.size() && text[at] == '.') {
        ++at;
        digits += skipDigits(text, at);
    }
    if (digits == 0) {
        return false;
    }
    if (at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
        ++at;
        if (at < text.size() && (text[at] == '-' || text[at] == '+')) {
            ++at;
        }
        if (skipDigits(text, at) == 0) {
            return false;
        }
    }
    return at == text.size();
}

Error invalidValueError(const QString& column, QByteArrayView stored, std::int16_t type) {
    const QString storedText = decodeStoredText(stored);
    QString shown = storedText.left(kShownCharacters);
    if (storedText.size() > kShownCharacters) {
        shown += QStringLiteral("...");
    }
    // The message is one line of the message list: a line break or any
    // other control character of the stored value is shown as a blank.
    for (QChar& c : shown) {
        if (c.category() == QChar::Other_Control) {
            c = u' ';
        }
    }
    return Error(0, texts::invalidValue(column, shown, validType(type)), kInvalidCast.toString());
}

}  // namespace brivano::db
