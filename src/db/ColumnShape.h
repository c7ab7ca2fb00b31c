#pragma once

#include <cstdint>

#include "db/AdoTypes.h"
#include "db/Value.h"

namespace brivano::db {

enum class Nullability : std::uint8_t { NoNulls, Nullable, Unknown };
enum class Writability : std::uint8_t { ReadOnly, Writable, Unknown };

// How a column is described in the export file (type code, defined size,
// attribute bits) and which kind of value reading it gives.
struct ColumnShape {
    std::int16_t type = adVarChar;
    std::int32_t definedSize = 0;
    std::int32_t attributes = 0;
    ValueKind kind = ValueKind::Other;
};

// The defined size of a type whose values all take the same room (integers,
// reals, dates, ...); 0 for the text and binary types, whose size is the
// column's own.
std::int32_t fixedSize(std::int16_t type);

// True for the long text and binary types (memo-like columns).
bool isLongType(std::int16_t type);

// The kind of value a column of this type reads into.
ValueKind valueKindFor(std::int16_t type);

// The attribute bits: fixed length, nullability, writability and long.
std::int32_t columnAttributes(std::int16_t type, Nullability nullability, Writability writability);

// A complete shape for a type: `size` is used for the types without a fixed
// size; long types with a size of 0 or less are unbounded.
ColumnShape shapeFor(std::int16_t type, std::int64_t size, Nullability nullability,
                     Writability writability);

}  // namespace brivano::db
