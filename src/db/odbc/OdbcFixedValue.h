#pragma once

#include "db/Value.h"
#include "db/odbc/OdbcApi.h"

namespace brivano::db {

// Room for the largest fixed-size C value (a timestamp or a GUID).
inline constexpr SQLLEN kMaxFixedBytes = 16;

// The size of a value of a fixed-size C type (integers, reals, bits, dates,
// times, timestamps, GUIDs); 0 for the character and binary types.
SQLLEN fixedValueSize(SQLSMALLINT cType);

// Stores a fixed-size value, as the driver wrote it in `cType`, into the
// matching fields of `value` (its kind is the caller's to set). A GUID
// becomes 16 bytes in display order.
void storeFixedValue(SQLSMALLINT cType, const void* buffer, Value& value);

}  // namespace brivano::db
