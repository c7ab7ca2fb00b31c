#pragma once

#include <QByteArray>
#include <QStringDecoder>

#include "db/Database.h"
#include "db/OdbcColumn.h"
#include "db/OdbcHandle.h"

namespace brivano::db {

// Reads the values of the current row with SQLGetData, each kind in its own
// C type, into Values that the caller reuses from row to row: their text
// and byte buffers only grow, so a steady table costs no allocation per row.
// Long values come in chunks and are never cut.
class OdbcValueReader {
  public:
    OdbcValueReader();

    // Reads column `number` (1-based) into `value`. A failure reported by
    // the driver lands in `errors` and is thrown.
    void read(OdbcHandleRef statement, SQLUSMALLINT number, const OdbcColumn& column, Value& value,
              ErrorList& errors);

  private:
    void readText(OdbcHandleRef statement, SQLUSMALLINT number, const OdbcColumn& column,
                  Value& value, ErrorList& errors);
    // Turns the narrow bytes just read into value.text: UTF-8 as the drivers
    // here send it, Latin-1 for bytes that are not valid UTF-8.
    void decodeNarrow(QString& text);

    QByteArray narrow_;
    QStringDecoder utf8_;
};

}  // namespace brivano::db
