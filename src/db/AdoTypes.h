#pragma once

#include <cstdint>

namespace brivano::db {

// Column type codes as the export file carries them: the numbers of the
// ADO DataTypeEnum, which receiving installations understand.
enum AdoType : std::int16_t {
    adEmpty = 0,
    adSmallInt = 2,
    adInteger = 3,
    adSingle = 4,
    adDouble = 5,
    adBoolean = 11,
    adTinyInt = 16,
    adUnsignedTinyInt = 17,
    adUnsignedSmallInt = 18,
    adUnsignedInt = 19,
    adBigInt = 20,
    adUnsignedBigInt = 21,
    adGUID = 72,
    adBinary = 128,
    adChar = 129,
    adWChar = 130,
    adNumeric = 131,
    adDBDate = 133,
    adDBTime = 134,
    adDBTimeStamp = 135,
    adVarChar = 200,
    adLongVarChar = 201,
    adVarWChar = 202,
    adLongVarWChar = 203,
    adVarBinary = 204,
    adLongVarBinary = 205,
};

// Column attribute bits (ADO FieldAttributeEnum) written in the A line.
enum AdoFieldAttribute : std::int32_t {
    adFldUpdatable = 0x4,
    adFldUnknownUpdatable = 0x8,
    adFldFixed = 0x10,
    adFldIsNullable = 0x20,
    adFldMayBeNull = 0x40,
    adFldLong = 0x80,
};

// Defined size reported for unbounded long text and binary columns.
inline constexpr std::int32_t kUnboundedSize = 2147483647;

}  // namespace brivano::db
