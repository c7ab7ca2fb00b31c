#include "db/mariadb/MariaDbColumn.h"

#include <mariadb_ctype.h>

namespace brivano::db {

namespace {

constexpr unsigned int kBinaryCharset = 63;

bool isBinary(const MYSQL_FIELD& field) {
    return field.charsetnr == kBinaryCharset;
}

// Bytes per character of the field's character set: the server gives text
// lengths in bytes, the driver in characters.
unsigned long bytesPerCharacter(const MYSQL_FIELD& field) {
    const MARIADB_CHARSET_INFO* charset = mariadb_get_charset_by_nr(field.charsetnr);
    return charset != nullptr && charset->char_maxlen > 0 ? charset->char_maxlen : 1;
}

struct TypeAndRead {
    std::int16_t type;
    MariaDbRead read;
};

TypeAndRead integerType(std::int16_t signedType, std::int16_t unsignedType, bool isUnsigned) {
    return {isUnsigned ? unsignedType : signedType, MariaDbRead::Integer};
}

// Character and binary columns: fixed-length CHAR/BINARY, variable, long.
TypeAndRead byteType(const MYSQL_FIELD& field) {
    const bool binary = isBinary(field);
    switch (field.type) {
        case MYSQL_TYPE_STRING:
            return {binary ? adBinary : adWChar, MariaDbRead::Bytes};
        case MYSQL_TYPE_VAR_STRING:
        case MYSQL_TYPE_VARCHAR:
        case MYSQL_TYPE_ENUM:
        case MYSQL_TYPE_SET:
        case MYSQL_TYPE_NULL:
            return {binary && field.type != MYSQL_TYPE_NULL ? adVarBinary : adVarWChar,
                    MariaDbRead::Bytes};
        default:  // the BLOB types, JSON, GEOMETRY
            return {binary ? adLongVarBinary : adLongVarWChar, MariaDbRead::Bytes};
    }
}

TypeAndRead typeOf(const MYSQL_FIELD& field) {
    const bool isUnsigned = (field.flags & UNSIGNED_FLAG) != 0;
    switch (field.type) {
        case MYSQL_TYPE_TINY:
            return integerType(adTinyInt, adUnsignedTinyInt, isUnsigned);
        case MYSQL_TYPE_SHORT:
        case MYSQL_TYPE_YEAR:  // unsigned: the driver calls it a small integer
            return integerType(adSmallInt, adUnsignedSmallInt, isUnsigned);
        case MYSQL_TYPE_INT24:
        case MYSQL_TYPE_LONG:
            return integerType(adInteger, adUnsignedInt, isUnsigned);
        case MYSQL_TYPE_LONGLONG:
            return integerType(adBigInt, adUnsignedBigInt, isUnsigned);
        case MYSQL_TYPE_DECIMAL:
        case MYSQL_TYPE_NEWDECIMAL:
            return {adNumeric, MariaDbRead::Bytes};
        case MYSQL_TYPE_FLOAT:
            return {adSingle, MariaDbRead::Single};
        case MYSQL_TYPE_DOUBLE:
            return {adDouble, MariaDbRead::Double};
        case MYSQL_TYPE_BIT:
            return field.length == 1 ? TypeAndRead{adBoolean, MariaDbRead::Bit}
                                     : TypeAndRead{adBinary, MariaDbRead::Bytes};
        case MYSQL_TYPE_DATE:
        case MYSQL_TYPE_NEWDATE:
            return {adDBDate, MariaDbRead::Date};
        case MYSQL_TYPE_TIME:
            return {adDBTime, MariaDbRead::Time};
        case MYSQL_TYPE_DATETIME:
        case MYSQL_TYPE_TIMESTAMP:
            return {adDBTimeStamp, MariaDbRead::Timestamp};
        default:
            return byteType(field);
    }
}

// The size the driver reports: characters for text, bytes (bits for BIT)
// for the rest; shapeFor() ignores it for the types of a fixed size.
std::int64_t sizeOf(const MYSQL_FIELD& field, std::int16_t type) {
    switch (type) {
        case adWChar:
        case adVarWChar:
        case adLongVarWChar:
            return static_cast<std::int64_t>(field.length / bytesPerCharacter(field));
        default:
            return static_cast<std::int64_t>(field.length);
    }
}

QString fromUtf8(const char* text, unsigned int length) {
    return QString::fromUtf8(text, static_cast<qsizetype>(length));
}

}  // namespace

MariaDbColumn describeMariaDbColumn(const MYSQL_FIELD& field) {
    const TypeAndRead typed = typeOf(field);
    const Nullability nullability =
        (field.flags & NOT_NULL_FLAG) != 0 ? Nullability::NoNulls : Nullability::Nullable;
    const Writability writability =
        field.table_length > 0 ? Writability::Unknown : Writability::ReadOnly;

    MariaDbColumn column;
    column.name = fromUtf8(field.name, field.name_length);
    column.shape = shapeFor(typed.type, sizeOf(field, typed.type), nullability, writability);
    column.read = typed.read;
    column.fieldType = field.type;
    column.isUnsigned = (field.flags & UNSIGNED_FLAG) != 0;
    column.decimals = field.decimals;
    column.length = field.length;
    // Stored columns name their database and their own name; expressions,
    // also those of views and derived tables, leave the database out.
    column.computed = field.db_length == 0 || field.org_name_length == 0;
    return column;
}

std::vector<MariaDbColumn> describeMariaDbColumns(MYSQL_RES* metadata) {
    std::vector<MariaDbColumn> columns;
    if (metadata == nullptr)
        return columns;
    const unsigned int count = mysql_num_fields(metadata);
    columns.reserve(count);
    for (unsigned int index = 0; index < count; ++index)
        columns.push_back(describeMariaDbColumn(*mysql_fetch_field_direct(metadata, index)));
    return columns;
}

}  // namespace brivano::db
