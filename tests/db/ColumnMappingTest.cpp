// The mapping from what a driver says of a column to what the export file
// carries, including types that no database of the test run produces.
#include <gtest/gtest.h>

#include "db/AdoTypes.h"
#include "db/ColumnShape.h"
#include "db/dialect/DeclaredType.h"
#include "db/odbc/OdbcColumn.h"
#include "db/odbc/OdbcDiagnostics.h"

namespace brivano::db {
namespace {

TEST(ColumnMapping, AttributesFollowFixedNullableWritableAndLong) {
    struct Case {
        std::int16_t type;
        Nullability nullability;
        Writability writability;
        std::int32_t attributes;
    };
    const Case cases[] = {
        // The two columns of the export format's worked example.
        {adChar, Nullability::NoNulls, Writability::Writable, 20},
        {adWChar, Nullability::Nullable, Writability::Writable, 116},
        {adVarChar, Nullability::Nullable, Writability::Writable, 0x64},
        {adVarWChar, Nullability::Unknown, Writability::ReadOnly, 0x40},
        {adInteger, Nullability::NoNulls, Writability::Unknown, 0x18},
        {adNumeric, Nullability::Nullable, Writability::ReadOnly, 0x70},
        {adLongVarChar, Nullability::Nullable, Writability::Writable, 0xE4},
        {adLongVarBinary, Nullability::NoNulls, Writability::ReadOnly, 0x80},
        {adBinary, Nullability::NoNulls, Writability::ReadOnly, 0x10},
        {adVarBinary, Nullability::NoNulls, Writability::ReadOnly, 0},
        {adGUID, Nullability::NoNulls, Writability::ReadOnly, 0x10},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        EXPECT_EQ(columnAttributes(c.type, c.nullability, c.writability), c.attributes);
    }
}

TEST(ColumnMapping, OdbcTypesGiveTypeCodeSizeAndValueKind) {
    struct Case {
        SQLSMALLINT sqlType;
        bool isUnsigned;
        SQLULEN columnSize;
        std::int16_t type;
        std::int32_t definedSize;
        ValueKind kind;
        SQLSMALLINT cType;
    };
    const Case cases[] = {
        {SQL_CHAR, false, 6, adChar, 6, ValueKind::Text, SQL_C_CHAR},
        {SQL_WCHAR, false, 40, adWChar, 40, ValueKind::Text, SQL_C_WCHAR},
        {SQL_VARCHAR, false, 30, adVarChar, 30, ValueKind::Text, SQL_C_CHAR},
        {SQL_WVARCHAR, false, 30, adVarWChar, 30, ValueKind::Text, SQL_C_WCHAR},
        {SQL_LONGVARCHAR, false, 0, adLongVarChar, kUnboundedSize, ValueKind::Text, SQL_C_CHAR},
        {SQL_WLONGVARCHAR, false, 8190, adLongVarWChar, 8190, ValueKind::Text, SQL_C_WCHAR},
        {SQL_DECIMAL, false, 10, adNumeric, 19, ValueKind::Decimal, SQL_C_CHAR},
        {SQL_NUMERIC, false, 38, adNumeric, 19, ValueKind::Decimal, SQL_C_CHAR},
        {SQL_TINYINT, false, 3, adTinyInt, 1, ValueKind::Integer, SQL_C_SBIGINT},
        {SQL_TINYINT, true, 3, adUnsignedTinyInt, 1, ValueKind::Unsigned, SQL_C_UBIGINT},
        {SQL_SMALLINT, true, 5, adUnsignedSmallInt, 2, ValueKind::Unsigned, SQL_C_UBIGINT},
        {SQL_INTEGER, false, 10, adInteger, 4, ValueKind::Integer, SQL_C_SBIGINT},
        {SQL_BIGINT, true, 20, adUnsignedBigInt, 8, ValueKind::Unsigned, SQL_C_UBIGINT},
        {SQL_REAL, false, 7, adSingle, 4, ValueKind::Single, SQL_C_FLOAT},
        {SQL_FLOAT, false, 15, adDouble, 8, ValueKind::Double, SQL_C_DOUBLE},
        {SQL_DOUBLE, false, 15, adDouble, 8, ValueKind::Double, SQL_C_DOUBLE},
        {SQL_BIT, false, 1, adBoolean, 2, ValueKind::Boolean, SQL_C_BIT},
        {SQL_TYPE_DATE, false, 10, adDBDate, 6, ValueKind::Date, SQL_C_TYPE_DATE},
        {SQL_TYPE_TIME, false, 8, adDBTime, 6, ValueKind::Time, SQL_C_TYPE_TIME},
        {SQL_TYPE_TIMESTAMP, false, 23, adDBTimeStamp, 16, ValueKind::Timestamp,
         SQL_C_TYPE_TIMESTAMP},
        {SQL_BINARY, false, 4, adBinary, 4, ValueKind::Binary, SQL_C_BINARY},
        {SQL_VARBINARY, false, 0, adVarBinary, kUnboundedSize, ValueKind::Binary, SQL_C_BINARY},
        {SQL_LONGVARBINARY, false, 0, adLongVarBinary, kUnboundedSize, ValueKind::Binary,
         SQL_C_BINARY},
        {SQL_GUID, false, 36, adGUID, 16, ValueKind::Guid, SQL_C_GUID},
        // Unknown types are read as the database's own text.
        {SQL_INTERVAL_DAY, false, 20, adVarChar, 20, ValueKind::Other, SQL_C_CHAR},
        // A size past 32 bits is unbounded for the export file too.
        {SQL_WLONGVARCHAR, false, SQLULEN{1} << 40, adLongVarWChar, kUnboundedSize, ValueKind::Text,
         SQL_C_WCHAR},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.sqlType);
        OdbcColumnInfo info;
        info.sqlType = c.sqlType;
        info.isUnsigned = c.isUnsigned;
        info.columnSize = c.columnSize;
        const OdbcColumn column = mapOdbcColumn(info);
        EXPECT_EQ(column.shape.type, c.type);
        EXPECT_EQ(column.shape.definedSize, c.definedSize);
        EXPECT_EQ(column.shape.kind, c.kind);
        EXPECT_EQ(column.cType, c.cType);
    }
}

TEST(ColumnMapping, DeclaredNamesDecideWhenTheDriverReportsEveryTextAlike) {
    struct Case {
        const char* declared;
        std::int16_t type;
        std::int32_t definedSize;
    };
    const Case cases[] = {
        {"char(6)", adChar, 6},
        {"CHARACTER(2)", adChar, 2},
        {"nchar(40)", adWChar, 40},
        {"National Character(3)", adWChar, 3},
        {"varchar(30)", adVarChar, 30},
        {"character varying(9)", adVarChar, 9},
        {"NVARCHAR(20)", adVarWChar, 20},
        {"text", adLongVarChar, kUnboundedSize},
        {"clob", adLongVarChar, kUnboundedSize},
        {"numeric(10, 2)", adNumeric, 19},
        {"decimal", adNumeric, 19},
        {"int", adInteger, 4},
        {"int unsigned", adUnsignedInt, 4},
        {"unsigned big int", adUnsignedBigInt, 8},
        {"real", adDouble, 8},
        {"datetime", adDBTimeStamp, 16},
        {"timestamp", adDBTimeStamp, 16},
        {"boolean", adBoolean, 2},
        {"blob", adLongVarBinary, kUnboundedSize},
        // Not a known name: the driver's own type (varchar, 255) decides.
        {"money", adVarChar, 255},
        {"", adVarChar, 255},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.declared);
        OdbcColumnInfo info;
        info.sqlType = SQL_VARCHAR;
        info.columnSize = 255;
        info.typeName = QString::fromLatin1(c.declared);
        const OdbcColumn column = mapOdbcColumn(info, {.byDeclaredName = true});
        EXPECT_EQ(column.shape.type, c.type);
        EXPECT_EQ(column.shape.definedSize, c.definedSize);
        if (column.shape.kind == ValueKind::Text) {
            // The bytes still come as the driver sends them.
            EXPECT_EQ(column.cType, SQL_C_CHAR);
        }
    }
    EXPECT_FALSE(declaredType(u"geometry").has_value());
}

TEST(Diagnostics, MessagesBecomeOneLine) {
    struct Case {
        const char* message;
        const char* line;
    };
    const Case cases[] = {
        {"ERROR: relation \"x\" does not exist;\nError while executing the query",
         "ERROR: relation \"x\" does not exist; Error while executing the query"},
        {"could not connect to server: Connection refused\n\tIs the server running?\n",
         "could not connect to server: Connection refused Is the server running?"},
        {"a\r\n  b", "a b"},
        {"keeps  double  blanks", "keeps  double  blanks"},
        {"[SQLite]no such table: x (1)", "[SQLite]no such table: x (1)"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(singleLineMessage(QString::fromUtf8(c.message)), QString::fromUtf8(c.line));
    }
}

}  // namespace
}  // namespace brivano::db
