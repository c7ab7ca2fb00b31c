#pragma once

#include <QString>

#include <cstdint>

#include <vector>
#include "db/ColumnShape.h"
#include "db/Database.h"
#include "db/odbc/OdbcApi.h"
#include "db/odbc/OdbcHandle.h"

namespace brivano::db {

// What the driver says of one result column.
struct OdbcColumnInfo {
    QString name;
    SQLSMALLINT sqlType = SQL_UNKNOWN_TYPE;  // from SQLDescribeCol
    SQLULEN columnSize = 0;
    SQLLEN nullable = SQL_NULLABLE_UNKNOWN;         // SQL_DESC_NULLABLE
    SQLLEN updatable = SQL_ATTR_READWRITE_UNKNOWN;  // SQL_DESC_UPDATABLE
    bool isUnsigned = false;                        // SQL_DESC_UNSIGNED
    QString typeName;                               // SQL_DESC_TYPE_NAME
};

// How a value fetched as text becomes a value of its column's kind.
enum class TextForm : std::uint8_t {
    None,            // fetched in its kind's own C type
    Stored,          // SQLite's stored text, converted strictly
    ServerDateTime,  // a server's text of a date or time, read strictly
    Money,           // PostgreSQL's text of a money value, read exactly
};

// A result column as the result set uses it: its shape for the export
// file and the C type its values are fetched as.
struct OdbcColumn {
    QString name;
    ColumnShape shape;
    SQLSMALLINT cType = SQL_C_CHAR;
    SQLULEN columnSize = 0;  // as the driver reports it (characters, digits)
    // Read as text and converted here. The SQLite driver converts stored
    // values loosely: NULL, without any error, for 'abc' in an integer
    // column, 12 for '12abc'. Its text is the value as stored, which the
    // same strict rules as the built-in SQLite provider's then convert.
    // The PostgreSQL driver makes today's date of 'infinity' and of years
    // past 9999, and MariaDB's driver a null or an error of zero dates: their
    // text shows what the value is. Money would lose its cents as a double.
    TextForm textForm = TextForm::None;
    // The type the column is cast to in the query that reads its rows, so
    // that the driver hands over the server's own text; empty for none.
    QString fetchCast;
};

// What a driver's columns need besides their description.
struct OdbcColumnRules {
    // The driver reports every text column alike: a recognised declared
    // type name decides the type, and the driver's own type is the fallback.
    bool byDeclaredName = false;
    // The driver hands text as UTF-8 to SQL_C_CHAR, and does so much faster
    // than as UTF-16: wide text columns are fetched narrow too.
    bool narrowTextIsUtf8 = false;
    // Dates and times are fetched as the server's text and read here.
    bool datesAsText = false;
    // The driver turns some values into others before it hands them over,
    // even as text (PostgreSQL's driver: 'infinity' and BC dates into
    // ordinary dates, money into a double): those columns are read through
    // a cast in the query (fetchCast), and money is read exactly.
    bool castsForText = false;
};

OdbcColumn mapOdbcColumn(const OdbcColumnInfo& info, OdbcColumnRules rules = {});

// The ADO type code of an ODBC SQL type; 200 for the types it does not know.
std::int16_t adoTypeOf(SQLSMALLINT sqlType, bool isUnsigned);

// Describes the result columns of an executed statement: the type from
// SQLDescribeCol (drivers disagree on the concise type), nullability and
// writability from the column's descriptor fields.
std::vector<OdbcColumn> describeOdbcColumns(OdbcHandleRef statement, OdbcColumnRules rules);

}  // namespace brivano::db
