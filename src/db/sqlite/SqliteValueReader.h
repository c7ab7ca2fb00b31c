#pragma once

#include <sqlite3.h>

#include "db/Value.h"
#include "db/sqlite/SqliteColumn.h"

namespace brivano::db {

// Reads one value of the current row into a Value of its column's kind.
// Text and bytes are not copied: the Value points at SQLite's own, valid
// until the statement steps. SQLite keeps any value in any column: a stored
// value that does not convert exactly to the column's kind ('abc' in an
// integer column, 1.5 in a boolean one) raises the invalid value error
// instead of turning into a made-up number or a null.
class SqliteValueReader {
  public:
    void read(sqlite3_stmt* statement, int index, const SqliteColumn& column, Value& value);

  private:
    // Numbers stored as numbers, without going through text; false when
    // the stored value is no exact number of the column's kind.
    bool readNumber(sqlite3_stmt* statement, int index, int storage, ValueKind kind, Value& value);
    // The text the SQLite ODBC driver gives for a stored value.
    void storedTextOf(sqlite3_stmt* statement, int index, int storage, Value& value);
    // `storage` is the value's storage class as read before any conversion.
    [[noreturn]] void reject(sqlite3_stmt* statement, int index, int storage,
                             const SqliteColumn& column, Value& value);
};

}  // namespace brivano::db
