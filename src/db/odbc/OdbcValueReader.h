#pragma once

#include <QByteArray>
#include <QString>
#include <QStringEncoder>

#include "db/Database.h"
#include "db/Value.h"
#include "db/odbc/OdbcApi.h"
#include "db/odbc/OdbcColumn.h"
#include "db/odbc/OdbcHandle.h"

namespace brivano::db {

// Reads the values of the current row with SQLGetData, each kind in its own
// C type, into Values that the caller reuses from row to row: their text
// and byte buffers only grow, so a steady table costs no allocation per row.
// Long values come in chunks and are never cut.
class OdbcValueReader {
  public:
    // Reads column `number` (1-based) into `value`. A failure reported by
    // the driver is thrown.
    void read(OdbcHandleRef statement, SQLUSMALLINT number, const OdbcColumn& column, Value& value);

    // Stores a whole character or binary value that the driver wrote into
    // a bound buffer (`bytes` long, without its terminator).
    void storeBound(const OdbcColumn& column, const char* data, SQLLEN bytes, Value& value);

  private:
    void readText(OdbcHandleRef statement, SQLUSMALLINT number, const OdbcColumn& column,
                  Value& value);
    void readConverted(OdbcHandleRef statement, SQLUSMALLINT number, const OdbcColumn& column,
                       Value& value);
    // A value fetched as text, read by its column's text form.
    void convertText(const OdbcColumn& column, QByteArrayView text, Value& value);
    // Wide text into the value's buffer, as UTF-8.
    void storeUtf8(QStringView text, Value& value);
    // What is not a number must not reach the file as one.
    void checkDecimal(const OdbcColumn& column, const Value& value);

    QString wide_;
    QByteArray digits_;  // a money value's digits
    QStringEncoder utf8_{QStringEncoder::Utf8, QStringEncoder::Flag::Stateless};
};

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
