#include "db/odbc/OdbcFixedValue.h"

#include <cstring>

namespace brivano::db {

namespace {

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
