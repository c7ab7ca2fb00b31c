#include "db/odbc/OdbcValueReader.h"

#include <cstring>

#include "db/StoredText.h"
#include "db/ValueCheck.h"
#include "db/odbc/OdbcDiagnostics.h"
#include "db/odbc/OdbcFixedValue.h"

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

}  // namespace

void OdbcValueReader::read(OdbcHandleRef statement, SQLUSMALLINT number, const OdbcColumn& column,
                           Value& value) {
    const ValueKind kind = column.shape.kind;
    if (column.convertsFromText) {
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
            present = readChunks(statement, number, column.cType, value.bytes);
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
    if (!readChunks(statement, number, SQL_C_CHAR, narrow_)) {
        value.kind = ValueKind::Null;
        return;
    }
    if (!convertStoredText(column.shape.kind, narrow_, value, utf8_)) {
        reject(column);
    }
    value.kind = column.shape.kind;
}

void OdbcValueReader::reject(const OdbcColumn& column) {
    utf8_.decode(narrow_, scratch_);
    Error error = invalidValueError(column.name, scratch_, column.shape.type);
    throw error;
}

void OdbcValueReader::readText(OdbcHandleRef statement, SQLUSMALLINT number,
                               const OdbcColumn& column, Value& value) {
    bool present = false;
    if (column.cType == SQL_C_WCHAR) {
        present = readChunks(statement, number, SQL_C_WCHAR, value.text);
    } else {
        present = readChunks(statement, number, SQL_C_CHAR, narrow_);
        if (present) {
            utf8_.decode(narrow_, value.text);
        }
    }
    if (present) {
        checkDecimal(column, value);
    }
    value.kind = present ? column.shape.kind : ValueKind::Null;
}

void OdbcValueReader::storeBound(const OdbcColumn& column, const char* data, SQLLEN bytes,
                                 Value& value) {
    switch (column.cType) {
        case SQL_C_WCHAR:
            value.text.resize(bytes / static_cast<SQLLEN>(sizeof(SQLWCHAR)));
            std::memcpy(value.text.data(), data, static_cast<size_t>(value.text.size()) * 2);
            break;
        case SQL_C_BINARY:
            value.bytes.resize(bytes);
            std::memcpy(value.bytes.data(), data, static_cast<size_t>(bytes));
            break;
        default:
            utf8_.decode(QByteArrayView(data, bytes), value.text);
            break;
    }
    checkDecimal(column, value);
    value.kind = column.shape.kind;
}

void OdbcValueReader::checkDecimal(const OdbcColumn& column, const Value& value) {
    // Drivers run in the C locale here, so their decimals come with '.'.
    if (column.shape.kind == ValueKind::Decimal && !isDecimalText(value.text)) {
        Error error = invalidValueError(column.name, value.text, column.shape.type);
        throw error;
    }
}

}  // namespace brivano::db
