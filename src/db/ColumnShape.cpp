#include "db/ColumnShape.h"

#include <algorithm>
#include <limits>

namespace brivano::db {

namespace {

// What each type code stands for: the room every value takes (0 for the
// text and binary types, whose size is the column's own) and the kind of
// value it reads into. A code not listed reads as the database's own text.
struct TypeTraits {
    std::int16_t type;
    std::int32_t fixedSize;
    ValueKind kind;
};

constexpr std::int32_t kDecimalSize = 19;
constexpr std::int32_t kBitSize = 2;
constexpr std::int32_t kDateSize = 6;
constexpr std::int32_t kTimestampSize = 16;
constexpr std::int32_t kGuidSize = 16;

constexpr TypeTraits kTypes[] = {
    {adTinyInt, 1, ValueKind::Integer},
    {adUnsignedTinyInt, 1, ValueKind::Unsigned},
    {adSmallInt, 2, ValueKind::Integer},
    {adUnsignedSmallInt, 2, ValueKind::Unsigned},
    {adInteger, 4, ValueKind::Integer},
    {adUnsignedInt, 4, ValueKind::Unsigned},
    {adBigInt, 8, ValueKind::Integer},
    {adUnsignedBigInt, 8, ValueKind::Unsigned},
    {adSingle, 4, ValueKind::Single},
    {adDouble, 8, ValueKind::Double},
    {adNumeric, kDecimalSize, ValueKind::Decimal},
    {adBoolean, kBitSize, ValueKind::Boolean},
    {adDBDate, kDateSize, ValueKind::Date},
    {adDBTime, kDateSize, ValueKind::Time},
    {adDBTimeStamp, kTimestampSize, ValueKind::Timestamp},
    {adGUID, kGuidSize, ValueKind::Guid},
    {adChar, 0, ValueKind::Text},
    {adWChar, 0, ValueKind::Text},
    {adVarChar, 0, ValueKind::Text},
    {adVarWChar, 0, ValueKind::Text},
    {adLongVarChar, 0, ValueKind::Text},
    {adLongVarWChar, 0, ValueKind::Text},
    {adBinary, 0, ValueKind::Binary},
    {adVarBinary, 0, ValueKind::Binary},
    {adLongVarBinary, 0, ValueKind::Binary},
};

const TypeTraits* traitsOf(std::int16_t type) {
    for (const TypeTraits& traits : kTypes) {
        if (traits.type == type)
            return &traits;
    }
    return nullptr;
}

}  // namespace

std::int32_t fixedSize(std::int16_t type) {
    const TypeTraits* traits = traitsOf(type);
    return traits != nullptr ? traits->fixedSize : 0;
}

bool isLongType(std::int16_t type) {
    return type == adLongVarChar || type == adLongVarWChar || type == adLongVarBinary;
}

ValueKind valueKindFor(std::int16_t type) {
    const TypeTraits* traits = traitsOf(type);
    return traits != nullptr ? traits->kind : ValueKind::Other;
}

std::int32_t columnAttributes(std::int16_t type, Nullability nullability, Writability writability) {
    std::int32_t bits = 0;
    if (type == adChar || type == adWChar || type == adBinary || fixedSize(type) > 0) {
        bits |= adFldFixed;
    }
    if (nullability == Nullability::Nullable) {
        bits |= adFldIsNullable | adFldMayBeNull;
    } else if (nullability == Nullability::Unknown) {
        bits |= adFldMayBeNull;
    }
    if (writability == Writability::Writable) {
        bits |= adFldUpdatable;
    } else if (writability == Writability::Unknown) {
        bits |= adFldUnknownUpdatable;
    }
    if (isLongType(type)) {
        bits |= adFldLong;
    }
    return bits;
}

ColumnShape shapeFor(std::int16_t type, std::int64_t size, Nullability nullability,
                     Writability writability) {
    ColumnShape shape;
    shape.type = type;
    shape.kind = valueKindFor(type);
    shape.attributes = columnAttributes(type, nullability, writability);
    if (std::int32_t fixed = fixedSize(type); fixed > 0) {
        shape.definedSize = fixed;
    } else if (size <= 0 && (isLongType(type) || type == adVarBinary || type == adBinary)) {
        shape.definedSize = kUnboundedSize;
    } else {
        // A size beyond 32 bits (some drivers report 2^32-1 or more for
        // unbounded columns) is unbounded for the export file as well.
        constexpr std::int64_t kMaxSize = std::numeric_limits<std::int32_t>::max();
        shape.definedSize = static_cast<std::int32_t>(std::clamp<std::int64_t>(size, 0, kMaxSize));
    }
    return shape;
}

}  // namespace brivano::db
