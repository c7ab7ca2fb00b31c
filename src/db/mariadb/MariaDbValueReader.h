#pragma once

#include "db/Value.h"
#include "db/mariadb/MariaDbColumn.h"
#include "db/mariadb/MariaDbRowBuffers.h"

namespace brivano::db {

// Turns a fetched slot into a Value of its column's kind, as the ODBC path
// reads the same column: TIME without its fraction, timestamps to the
// microsecond. Text and bytes are not copied: the Value points into the
// slot, valid until the next fetch. A date or time that is not a real one
// (0000-00-00, a zero month or day, a TIME outside 00:00:00..23:59:59)
// raises the invalid value error, with the value as MariaDB writes it.
void readMariaDbValue(const MariaDbColumn& column, const MariaDbSlot& slot, Value& value);

}  // namespace brivano::db
