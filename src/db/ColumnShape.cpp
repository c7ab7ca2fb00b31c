#include "db/ColumnShape.h"

#include <algorithm>
#include <limits>

namespace brivano::db {

namespace {

constexpr std::int32_t kDecimalSize = 19;
constexpr std::int32_t kBitSize = 2;
constexpr std::int32_t kDateSize = 6;
constexpr std::int32_t kTimestampSize = 16;
constexpr std::int32_t kGuidSize = 16;

}  // namespace

std::int32_t fixedSize(std::int16_t type) {
    switch (type) {
        case adTinyInt:
        case adUnsignedTinyInt:
            return 1;
        case adSmallInt:
        case adUnsignedSmallInt:
            return 2;
        case adInteger:
        case adUnsignedInt:
        case adSingle:
            return 4;
        case adBigInt:
        case adUnsignedBigInt:
        case adDouble:
            return 8;
        case adNumeric:
            return kDecimalSize;
        case adBoolean:
            return kBitSize;
        case adDBDate:
        case adDBTime:
            return kDateSize;
        case adDBTimeStamp:
            return kTimestampSize;
        case adGUID:
            return kGuidSize;
        default:
            return 0;
    }
}

bool isLongType(std::int16_t type) {
    return type == adLongVarChar || type == adLongVarWChar || type == adLongVarBinary;
}

ValueKind valueKindFor(std::int16_t type) {
    switch (type) {
        case adChar:
        case adWChar:
        case adVarChar:
        case adVarWChar:
        case adLongVarChar:
        case adLongVarWChar:
            return ValueKind::Text;
        case adNumeric:
            return ValueKind::Decimal;
        case adTinyInt:
        case adSmallInt:
        case adInteger:
        case adBigInt:
            return ValueKind::Integer;
        case adUnsignedTinyInt:
        case adUnsignedSmallInt:
        case adUnsignedInt:
        case adUnsignedBigInt:
            return ValueKind::Unsigned;
        case adSingle:
            return ValueKind::Single;
        case adDouble:
            return ValueKind::Double;
        case adBoolean:
            return ValueKind::Boolean;
        case adDBDate:
            return ValueKind::Date;
        case adDBTime:
            return ValueKind::Time;
        case adDBTimeStamp:
            return ValueKind::Timestamp;
        case adBinary:
        case adVarBinary:
        case adLongVarBinary:
            return ValueKind::Binary;
        case adGUID:
            return ValueKind::Guid;
        default:
            return ValueKind::Other;
    }
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
