#include "db/sqlite/SqliteValueReader.h"

#include <cmath>

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

QByteArrayView storedBlob(sqlite3_stmt* statement, int index) {
    const auto* bytes = static_cast<const char*>(sqlite3_column_blob(statement, index));
    return {bytes, sqlite3_column_bytes(statement, index)};
}

// Bytes where text is expected, written as the SQLite ODBC driver shows
// them: a blob literal such as X'00FF'.
void blobLiteral(sqlite3_stmt* statement, int index, QByteArray& out) {
    out = "X'" + storedBlob(statement, index).toByteArray().toHex().toUpper() + '\'';
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
        value.data = storedBlob(statement, index);
    } else if (!isConvertedFromText(kind)) {
        storedTextOf(statement, index, storage, value);
    } else if (storage == SQLITE_BLOB) {
        // No number, date or time is made of bytes.
        reject(statement, index, storage, column, value);
    } else if (storage == SQLITE_INTEGER || storage == SQLITE_FLOAT) {
        if (!readNumber(statement, index, storage, kind, value)) {
            reject(statement, index, storage, column, value);
        }
    } else if (!convertStoredText(kind, storedText(statement, index), value)) {
        reject(statement, index, storage, column, value);
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
            // SQLite's own digits (15 significant ones for a real), which
            // are what the ODBC driver hands on; an infinity ("Inf") is no
            // exact number.
            value.data = storedText(statement, index);
            return storage == SQLITE_INTEGER ||
                   std::isfinite(sqlite3_column_double(statement, index));
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

void SqliteValueReader::storedTextOf(sqlite3_stmt* statement, int index, int storage,
                                     Value& value) {
    if (storage == SQLITE_BLOB) {
        blobLiteral(statement, index, value.buffer);
        value.keepBuffer();
    } else {
        // Numbers in SQLite's own text form, as the driver gives them.
        value.data = storedText(statement, index);
    }
}

void SqliteValueReader::reject(sqlite3_stmt* statement, int index, int storage,
                               const SqliteColumn& column, Value& value) {
    storedTextOf(statement, index, storage, value);
    throw invalidValueError(column.name, value.data, column.shape.type);
}

}  // namespace brivano::db
