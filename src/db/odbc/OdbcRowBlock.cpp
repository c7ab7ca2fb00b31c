#include "db/odbc/OdbcRowBlock.h"

#include "db/odbc/OdbcApi.h"
#include "db/odbc/OdbcDiagnostics.h"
#include "db/odbc/OdbcValueReader.h"

namespace brivano::db {

namespace {

// A block takes at most this much memory and this many rows; fewer rows
// than the minimum would not pay for the binding.
constexpr SQLLEN kBlockBytes = 2 * 1024 * 1024;
constexpr SQLLEN kMaxBlockRows = 256;
constexpr SQLLEN kMinBlockRows = 16;
// Text columns wider than this many characters are read value by value.
constexpr SQLLEN kMaxBoundCharacters = 4000;
// UTF-8 may take 4 bytes per character; UTF-16 2 units. A decimal's text
// has its sign, point and exponent besides the digits.
constexpr SQLLEN kUtf8BytesPerCharacter = 4;
constexpr SQLLEN kUtf16UnitsPerCharacter = 2;
constexpr SQLLEN kDecimalExtraBytes = 8;
// Room for a server's text of a date, time or money value: a longer one is
// no valid value and is read again whole, to be reported as it is.
constexpr SQLLEN kServerTextBytes = 64;

// Bytes per row for a column's buffer, terminator included; 0 when the
// column cannot be bound.
SQLLEN bufferWidth(const OdbcColumn& column) {
    if (const SQLLEN fixed = fixedValueSize(column.cType); fixed > 0) {
        return fixed;
    }
    switch (column.textForm) {
        case TextForm::None:
            break;
        case TextForm::ServerDateTime:
        case TextForm::Money:
            return kServerTextBytes;
        case TextForm::Stored:
            return 0;
    }
    if (isLongType(column.shape.type)) {
        return 0;
    }
    // The driver's size, not the defined size: a decimal's is its digits.
    if (column.columnSize == 0 || column.columnSize > kMaxBoundCharacters) {
        return 0;
    }
    const auto characters = static_cast<SQLLEN>(column.columnSize);
    switch (column.cType) {
        case SQL_C_WCHAR:
            return (kUtf16UnitsPerCharacter * characters + 1) *
                   static_cast<SQLLEN>(sizeof(SQLWCHAR));
        case SQL_C_BINARY:
            return characters;
        default:
            if (column.shape.kind == ValueKind::Decimal) {
                return characters + kDecimalExtraBytes;
            }
            return kUtf8BytesPerCharacter * characters + 1;
    }
}

SQLLEN terminatorBytes(SQLSMALLINT cType) {
    switch (cType) {
        case SQL_C_WCHAR:
            return sizeof(SQLWCHAR);
        case SQL_C_CHAR:
            return 1;
        default:
            return 0;
    }
}

}  // namespace

std::unique_ptr<OdbcRowBlock> OdbcRowBlock::bind(const OdbcStatement& statement,
                                                 const std::vector<OdbcColumn>& columns) {
    std::vector<SQLLEN> widths;
    SQLLEN rowBytes = 0;
    for (const OdbcColumn& column : columns) {
        const SQLLEN width = bufferWidth(column);
        if (width == 0) {
            return nullptr;
        }
        widths.push_back(width);
        rowBytes += width + static_cast<SQLLEN>(sizeof(SQLLEN));
    }
    const SQLLEN capacity = std::min(kMaxBlockRows, kBlockBytes / std::max<SQLLEN>(rowBytes, 1));
    if (columns.empty() || capacity < kMinBlockRows) {
        return nullptr;
    }

    std::unique_ptr<OdbcRowBlock> block(
        new OdbcRowBlock(statement, static_cast<SQLULEN>(capacity)));
    const SQLHSTMT handle = statement.get();
    bool bound =
        SQL_SUCCEEDED(SQLSetStmtAttr(handle, SQL_ATTR_ROW_BIND_TYPE,
                                     reinterpret_cast<SQLPOINTER>(SQL_BIND_BY_COLUMN), 0)) &&
        SQL_SUCCEEDED(SQLSetStmtAttr(handle, SQL_ATTR_ROW_ARRAY_SIZE,
                                     reinterpret_cast<SQLPOINTER>(block->capacity_), 0)) &&
        SQL_SUCCEEDED(SQLSetStmtAttr(handle, SQL_ATTR_ROWS_FETCHED_PTR, &block->rowsFetched_, 0)) &&
        SQL_SUCCEEDED(SQLSetStmtAttr(handle, SQL_ATTR_ROW_STATUS_PTR, block->rowStatus_.data(), 0));
    // A driver may lower the block size (01S02): ask what it took.
    SQLULEN taken = 0;
    bound = bound &&
            SQL_SUCCEEDED(SQLGetStmtAttr(handle, SQL_ATTR_ROW_ARRAY_SIZE, &taken, 0, nullptr)) &&
            taken == block->capacity_;
    block->buffers_.resize(columns.size());
    for (size_t k = 0; bound && k < columns.size(); ++k) {
        Buffer& buffer = block->buffers_[k];
        buffer.width = widths[k];
        buffer.data.resize(static_cast<size_t>(widths[k]) * block->capacity_);
        buffer.indicators.resize(block->capacity_);
        bound =
            SQL_SUCCEEDED(SQLBindCol(handle, static_cast<SQLUSMALLINT>(k + 1), columns[k].cType,
                                     buffer.data.data(), buffer.width, buffer.indicators.data()));
    }
    if (!bound) {
        // Only a way to go faster: the values are read one by one instead.
        block->unbind();
        return nullptr;
    }
    return block;
}

OdbcRowBlock::OdbcRowBlock(const OdbcStatement& statement, SQLULEN capacity)
    : statement_(statement), capacity_(capacity), rowStatus_(capacity) {}

OdbcRowBlock::~OdbcRowBlock() {
    unbind();
}

void OdbcRowBlock::unbind() {
    if (!statement_.isValid()) {
        return;  // freed with its connection, bindings and all
    }
    // The driver must not keep pointers into buffers that are about to go.
    const SQLHSTMT handle = statement_.get();
    SQLFreeStmt(handle, SQL_UNBIND);
    SQLSetStmtAttr(handle, SQL_ATTR_ROWS_FETCHED_PTR, nullptr, 0);
    SQLSetStmtAttr(handle, SQL_ATTR_ROW_STATUS_PTR, nullptr, 0);
    SQLSetStmtAttr(handle, SQL_ATTR_ROW_ARRAY_SIZE, reinterpret_cast<SQLPOINTER>(1), 0);
}

bool OdbcRowBlock::fetch() {
    rowsFetched_ = 0;
    const SQLRETURN rc = SQLFetchScroll(statement_.get(), SQL_FETCH_NEXT, 0);
    if (rc == SQL_NO_DATA) {
        return false;
    }
    checkOdbc(rc, statement_.ref(), "SQLFetchScroll");
    return rowsFetched_ > 0;
}

void OdbcRowBlock::read(SQLULEN row, int position, const OdbcColumn& column, Value& value,
                        OdbcValueReader& reader) {
    const Buffer& buffer = buffers_[static_cast<size_t>(position)];
    const SQLLEN indicator = buffer.indicators[row];
    const char* data = buffer.data.data() + static_cast<SQLLEN>(row) * buffer.width;
    if (rowStatus_[row] == SQL_ROW_ERROR) {
        readWhole(row, position, column, value, reader);
        return;
    }
    if (indicator == SQL_NULL_DATA) {
        value.kind = ValueKind::Null;
        return;
    }
    if (fixedValueSize(column.cType) > 0) {
        storeFixedValue(column.cType, data, value);
        value.kind = column.shape.kind;
        return;
    }
    if (indicator == SQL_NO_TOTAL || indicator > buffer.width - terminatorBytes(column.cType)) {
        readWhole(row, position, column, value, reader);
        return;
    }
    reader.storeBound(column, data, indicator, value);
}

void OdbcRowBlock::readWhole(SQLULEN row, int position, const OdbcColumn& column, Value& value,
                             OdbcValueReader& reader) {
    OdbcLocaleScope utf8;
    const SQLRETURN rc = SQLSetPos(statement_.get(), static_cast<SQLSETPOSIROW>(row + 1),
                                   SQL_POSITION, SQL_LOCK_NO_CHANGE);
    checkOdbc(rc, statement_.ref(), "SQLSetPos");
    reader.read(statement_.ref(), static_cast<SQLUSMALLINT>(position + 1), column, value);
}

}  // namespace brivano::db
