#pragma once

#include <libpq-fe.h>

#include <QString>
#include <cstdint>

#include "db/ColumnShape.h"

namespace brivano::db {

// How the bytes of a column's values are turned into a Value. Every type
// without a decoder of its own comes as the server's text for it.
enum class PgDecoder : std::uint8_t {
    Int16,
    Int32,
    Int64,
    Unsigned32,
    Float32,
    Float64,
    Numeric,
    Money,
    BooleanText,  // "1" or "0"
    Boolean,
    Text,
    Jsonb,
    Bytes,
    Date,
    Time,
    Timestamp,  // also timestamptz, which the server shifts to its time zone
    Uuid,
    BitText,     // "0101..."
    BitBoolean,  // true when any bit is set
    OutputText,  // the type's output function, as text
};

// What the server says of one result column.
struct PgFieldInfo {
    QString name;
    Oid type = 0;
    int typmod = -1;
    Oid table = 0;         // the table the column comes from, 0 for an expression
    int tableColumn = 0;   // its number there
    bool notNull = false;  // declared NOT NULL there
};

struct PgColumn {
    QString name;
    ColumnShape shape;
    PgDecoder decoder = PgDecoder::OutputText;
    Oid type = 0;
};

// Describes a column as the PostgreSQL ODBC driver does with its default
// settings (text as long varchar of 8190, other text of 255, booleans as
// "1"/"0" text), so that both give the same export file. Money keeps the
// driver's type (a double), but its values are exact decimals.
// With `boolsAsChar` false, booleans are bits, as the driver gives them with
// BoolsAsChar=0.
PgColumn pgColumn(const PgFieldInfo& info, bool boolsAsChar = true);

// The type's OID, for the few that the provider treats apart.
inline constexpr Oid kPgMoneyOid = 790;
inline constexpr Oid kPgTimestampTzOid = 1184;

}  // namespace brivano::db
