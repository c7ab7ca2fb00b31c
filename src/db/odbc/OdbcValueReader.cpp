#include "db/odbc/OdbcValueReader.h"

#include <cstring>
#include "db/StoredText.h"
#include "db/ValueCheck.h"
#include "db/odbc/OdbcDiagnostics.h"

namespace brivano::db {

namespace {

// Measured: a SQLGetData buffer of a few KiB with a loop for longer values
// beats one large buffer, which some drivers clear or convert in full.
constexpr qsizetype kChunkBytes = 2048;

// Where in a character chunk the driver's terminator is: drivers may stop
// short of a multibyte character instead of splitting it.
template <class Unit>
qsizetype writtenUnits(const Unit* chunk, qsizetype room) {
    for (qsizetype i = 0; i < room; ++i) {
        if (chunk[i] == Unit{}) {
            return i;
        }
    }
    return room;
}

// Reads a whole character or binary value into `out` (bytes for a
// QByteArray, UTF-16 units for a QString). False when it is null.
template <class Buffer>
bool readChunks(OdbcHandleRef statement, SQLUSMALLINT number, SQLSMALLINT cType, Buffer& out) {
    using Unit = typename Buffer::value_type;
    const qsizetype unit = sizeof(Unit);
    const qsizetype terminator = cType == SQL_C_BINARY ? 0 : 1;  // in units
    qsizetype filled = 0;
    qsizetype request = kChunkBytes / unit;
    for (;;) {
        out.resize(filled + request);
        auto* chunk = out.data() + filled;
        const qsizetype room = request - terminator;
        if (terminator != 0) {
            chunk[room] = static_cast<Unit>(1);  // a mark: see below
        }
        const SQLLEN bytes = static_cast<SQLLEN>(request * unit);
        SQLLEN indicator = 0;
        const SQLRETURN rc = SQLGetData(statement.handle, number, cType, chunk, bytes, &indicator);
        if (rc == SQL_NO_DATA) {
            // Every piece has been read (or, on the first call, the value
            // was empty and already taken).
            break;
        }
        checkOdbc(rc, statement, "SQLGetData");
        if (indicator == SQL_NULL_DATA) {
            out.resize(0);
            return false;
        }
        if (indicator != SQL_NO_TOTAL && indicator / unit <= room) {
            filled += indicator / unit;
            break;
        }
        // Cut short: the chunk is full, and the rest waits for the next call.
        // A full chunk of text has the driver's terminator where the mark
        // was; only a driver that stopped short of a multibyte character
        // leaves the mark, and its terminator ends what it wrote. (Looking
        // for the first terminator alone would cut a value with an
        // embedded NUL.)
        if (terminator != 0 && chunk[room] != Unit{}) {
            filled += writtenUnits(chunk, room);
        } else {
            filled += room;
        }
        request = indicator == SQL_NO_TOTAL ? std::max(filled, request)
                                            : indicator / unit - room + terminator;
    }
    out.resize(filled);
    return true;
}

constexpr int kGuidTailBytes = 8;

template <class T>
T load(const void* buffer) {
    T value;
    std::memcpy(&value, buffer, sizeof(T));  // block buffers need not be aligned
    return value;
}

void putBigEndian(char* out, std::uint32_t value, int bytes) {
    for (int i = bytes - 1; i >= 0; --i) {
        out[i] = static_cast<char>(value & 0xFFu);
        value >>= 8;
    }
}

}  // namespace

void OdbcValueReader::read(OdbcHandleRef statement, SQLUSMALLINT number, const OdbcColumn& column,
                           Value& value) {
    const ValueKind kind = column.shape.kind;
    if (column.textForm != TextForm::None) {
        readConverted(statement, number, column, value);
        return;
    }
    bool present = true;
    switch (kind) {
        case ValueKind::Text:
        case ValueKind::Decimal:
        case ValueKind::Other:
        case ValueKind::Null:
            readText(statement, number, column, value);
            return;
        case ValueKind::Binary:
            present = readChunks(statement, number, column.cType, value.buffer);
            value.keepBuffer();
            break;
        default: {
            alignas(SQLBIGINT) unsigned char buffer[kMaxFixedBytes] = {};
            SQLLEN indicator = 0;
            const SQLRETURN rc = SQLGetData(statement.handle, number, column.cType, buffer,
                                            fixedValueSize(column.cType), &indicator);
            checkOdbc(rc, statement, "SQLGetData");
            present = indicator != SQL_NULL_DATA;
            if (present) {
                storeFixedValue(column.cType, buffer, value);
            }
        }
    }
    value.kind = present ? kind : ValueKind::Null;
}

void OdbcValueReader::readConverted(OdbcHandleRef statement, SQLUSMALLINT number,
                                    const OdbcColumn& column, Value& value) {
    if (!readChunks(statement, number, SQL_C_CHAR, value.buffer)) {
        value.kind = ValueKind::Null;
        return;
    }
    convertText(column, value.buffer, value);
}

void OdbcValueReader::convertText(const OdbcColumn& column, QByteArrayView text, Value& value) {
    bool converted = false;
    switch (column.textForm) {
        case TextForm::Money:
            converted = moneyDigits(text, digits_);
            if (converted) {
                // The text may lie in the value's buffer: the digits take
                // its place, and the old buffer serves the next value.
                std::swap(value.buffer, digits_);
                value.keepBuffer();
            }
            break;
        case TextForm::ServerDateTime:
            converted = convertStoredText(column.shape.kind, text, value, DateTimeForm::Server);
            // A time of day reaches the engine without its fraction, as
            // ODBC's time structure has none.
            if (column.shape.kind == ValueKind::Time)
                value.time.nanosecond = 0;
            break;
        default:
            converted = convertStoredText(column.shape.kind, text, value);
            break;
    }
    if (!converted) {
        value.kind = ValueKind::Null;
        throw invalidValueError(column.name, text, column.shape.type);
    }
    value.kind = column.shape.kind;
}

void OdbcValueReader::readText(OdbcHandleRef statement, SQLUSMALLINT number,
                               const OdbcColumn& column, Value& value) {
    bool present = false;
    if (column.cType == SQL_C_WCHAR) {
        present = readChunks(statement, number, SQL_C_WCHAR, wide_);
        if (present) {
            storeUtf8(wide_, value);
        }
    } else {
        present = readChunks(statement, number, SQL_C_CHAR, value.buffer);
        value.keepBuffer();
    }
    if (present) {
        checkDecimal(column, value);
    }
    value.kind = present ? column.shape.kind : ValueKind::Null;
}

void OdbcValueReader::storeUtf8(QStringView text, Value& value) {
    // UTF-8 never takes more than three bytes for one UTF-16 unit.
    value.buffer.resize(text.size() * 3);
    char* end = utf8_.appendToBuffer(value.buffer.data(), text);
    value.buffer.resize(end - value.buffer.constData());
    value.keepBuffer();
}

void OdbcValueReader::storeBound(const OdbcColumn& column, const char* data, SQLLEN bytes,
                                 Value& value) {
    if (column.textForm != TextForm::None) {
        convertText(column, QByteArrayView(data, bytes), value);
        return;
    }
    if (column.cType == SQL_C_WCHAR) {
        storeUtf8(QStringView(reinterpret_cast<const char16_t*>(data),
                              bytes / static_cast<SQLLEN>(sizeof(SQLWCHAR))),
                  value);
    } else {
        // The block's buffer keeps the value until the next block is fetched.
        value.data = QByteArrayView(data, bytes);
    }
    checkDecimal(column, value);
    value.kind = column.shape.kind;
}

void OdbcValueReader::checkDecimal(const OdbcColumn& column, const Value& value) {
    // Drivers run in the C locale here, so their decimals come with '.'.
    if (column.shape.kind == ValueKind::Decimal && !isDecimalText(value.data)) {
        throw invalidValueError(column.name, value.data, column.shape.type);
    }
}

SQLLEN fixedValueSize(SQLSMALLINT cType) {
    switch (cType) {
        case SQL_C_SBIGINT:
        case SQL_C_UBIGINT:
            return sizeof(SQLBIGINT);
        case SQL_C_FLOAT:
            return sizeof(SQLREAL);
        case SQL_C_DOUBLE:
            return sizeof(SQLDOUBLE);
        case SQL_C_BIT:
            return sizeof(SQLCHAR);
        case SQL_C_TYPE_DATE:
            return sizeof(SQL_DATE_STRUCT);
        case SQL_C_TYPE_TIME:
            return sizeof(SQL_TIME_STRUCT);
        case SQL_C_TYPE_TIMESTAMP:
            return sizeof(SQL_TIMESTAMP_STRUCT);
        case SQL_C_GUID:
            return sizeof(SQLGUID);
        default:
            return 0;
    }
}

void storeFixedValue(SQLSMALLINT cType, const void* buffer, Value& value) {
    switch (cType) {
        case SQL_C_SBIGINT:
            value.integer = load<SQLBIGINT>(buffer);
            break;
        case SQL_C_UBIGINT:
            value.unsignedInteger = load<SQLUBIGINT>(buffer);
            break;
        case SQL_C_FLOAT:
            value.real = load<SQLREAL>(buffer);
            break;
        case SQL_C_DOUBLE:
            value.real = load<SQLDOUBLE>(buffer);
            break;
        case SQL_C_BIT:
            value.boolean = load<SQLCHAR>(buffer) != 0;
            break;
        case SQL_C_TYPE_DATE: {
            const auto date = load<SQL_DATE_STRUCT>(buffer);
            value.date = {date.year, date.month, date.day};
            break;
        }
        case SQL_C_TYPE_TIME: {
            const auto time = load<SQL_TIME_STRUCT>(buffer);
            value.time = {time.hour, time.minute, time.second, 0};
            break;
        }
        case SQL_C_TYPE_TIMESTAMP: {
            const auto stamp = load<SQL_TIMESTAMP_STRUCT>(buffer);
            value.date = {stamp.year, stamp.month, stamp.day};
            value.time = {stamp.hour, stamp.minute, stamp.second, stamp.fraction};
            break;
        }
        case SQL_C_GUID: {
            const auto guid = load<SQLGUID>(buffer);
            // The three leading groups big-endian, then the trailing bytes.
            value.buffer.resize(sizeof(SQLGUID));
            char* out = value.buffer.data();
            putBigEndian(out, guid.Data1, 4);
            putBigEndian(out + 4, guid.Data2, 2);
            putBigEndian(out + 6, guid.Data3, 2);
            std::memcpy(out + 8, guid.Data4, kGuidTailBytes);
            value.keepBuffer();
            break;
        }
        default:
            break;
    }
}

}  // namespace brivano::db
