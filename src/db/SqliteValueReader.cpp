#include "db/SqliteValueReader.h"

#include <QLocale>
#include <cmath>
#include <cstring>

#include "db/StoredText.h"
#include "db/ValueCheck.h"

namespace brivano::db {

namespace {

// 2^63 and 2^64 as doubles: the bounds of 64-bit integers.
constexpr double kTwoPow63 = 9223372036854775808.0;
constexpr double kTwoPow64 = 18446744073709551616.0;

QByteArrayView storedText(sqlite3_stmt* statement, int index) {
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, index));
    return {text, sqlite3_column_bytes(statement, index)};
}

bool isIntegral(double real) {
    return std::isfinite(real) && std::trunc(real) == real;
}

}  // namespace

void SqliteValueReader::read(sqlite3_stmt* statement, int index, const SqliteColumn& column,
                             Value& value) {
    const int storage = sqlite3_column_type(statement, index);
    const ValueKind kind = column.shape.kind;
    if (storage == SQLITE_NULL) {
        value.kind = ValueKind::Null;
        return;
    }
    if (kind == ValueKind::Binary || kind == ValueKind::Guid) {
        const void* bytes = sqlite3_column_blob(statement, index);
        const int size = sqlite3_column_bytes(statement, index);
        value.bytes.resize(size);
        if (size > 0) {
            std::memcpy(value.bytes.data(), bytes, static_cast<size_t>(size));
        }
    } else if (!isConvertedFromText(kind)) {
        // Text: SQLite gives numbers their own text form, as the driver does.
        utf8_.decode(storedText(statement, index), value.text);
    } else if (storage == SQLITE_INTEGER || storage == SQLITE_FLOAT) {
        if (!readNumber(statement, index, storage, kind, value)) {
            reject(statement, index, column);
        }
    } else if (!convertStoredText(kind, storedText(statement, index), value, utf8_)) {
        reject(statement, index, column);
    }
    value.kind = kind;
}

bool SqliteValueReader::readNumber(sqlite3_stmt* statement, int index, int storage, ValueKind kind,
                                   Value& value) {
    switch (kind) {
        case ValueKind::Single:
        case ValueKind::Double:
            value.real = sqlite3_column_double(statement, index);
            return true;
        case ValueKind::Decimal:
            if (storage == SQLITE_INTEGER) {
                value.text.setNum(sqlite3_column_int64(statement, index));
            } else {
                // The shortest digits that give back the same number.
                value.text.setNum(sqlite3_column_double(statement, index), 'g',
                                  QLocale::FloatingPointShortest);
            }
            return true;
        case ValueKind::Integer:
        case ValueKind::Unsigned:
        case ValueKind::Boolean:
            break;
        default:
            return false;  // dates are not taken from day numbers
    }
    std::int64_t number = 0;
    if (storage == SQLITE_INTEGER) {
        number = sqlite3_column_int64(statement, index);
    } else {
        const double real = sqlite3_column_double(statement, index);
        // Integers past 2^63 are kept as reals: unsigned columns need them.
        if (kind == ValueKind::Unsigned && isIntegral(real) && real >= kTwoPow63 &&
            real < kTwoPow64) {
            value.unsignedInteger = static_cast<std::uint64_t>(real);
            return true;
        }
        if (!isIntegral(real) || real < -kTwoPow63 || real >= kTwoPow63) {
            return false;
        }
        number = static_cast<std::int64_t>(real);
    }
    if (kind == ValueKind::Boolean) {
        value.boolean = number != 0;
    } else if (kind == ValueKind::Unsigned) {
        value.unsignedInteger = static_cast<std::uint64_t>(number);
        return number >= 0;
    } else {
        value.integer = number;
    }
    return true;
}

void SqliteValueReader::reject(sqlite3_stmt* statement, int index, const SqliteColumn& column) {
    utf8_.decode(storedText(statement, index), scratch_);
    throw invalidValueError(column.name, scratch_, column.shape.type);
}

}  // namespace brivano::db
