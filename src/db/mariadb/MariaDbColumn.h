#pragma once

#include <mysql.h>

#include <QString>
#include <cstdint>
#include <vector>

#include "db/ColumnShape.h"

namespace brivano::db {

// How a column's values come out of the client library: what it is bound
// as, and what the reader makes of it.
enum class MariaDbRead : std::uint8_t {
    Integer,  // every integer type and YEAR, as 64 bits (signed or not)
    Single,
    Double,
    Bit,    // BIT(1): a boolean, in one byte
    Bytes,  // text, decimals, binary, BIT(n): the bytes as sent
    Date,
    Time,
    Timestamp,
};

struct MariaDbColumn {
    QString name;
    ColumnShape shape;
    MariaDbRead read = MariaDbRead::Bytes;
    enum_field_types fieldType = MYSQL_TYPE_STRING;
    bool isUnsigned = false;
    unsigned int decimals = 0;  // digits of a second's fraction, for temporal types
    unsigned long length = 0;   // the longest value in bytes, as the server reports it
    // An expression rather than a stored column: computing it may fail on
    // a row, so a count must compute it too.
    bool computed = false;
};

// Describes a column the way the MariaDB ODBC driver does, so that both
// paths write the same file: type by the server's type, sign and character
// set; text sizes in characters; nullable unless NOT NULL; writability
// unknown for a column of a table or view, read-only for an expression.
MariaDbColumn describeMariaDbColumn(const MYSQL_FIELD& field);
std::vector<MariaDbColumn> describeMariaDbColumns(MYSQL_RES* metadata);

}  // namespace brivano::db
