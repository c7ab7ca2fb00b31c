#pragma once

#include <mysql.h>

#include <QByteArray>
#include <QByteArrayView>
#include <vector>

#include "db/mariadb/MariaDbColumn.h"

namespace brivano::db {

// Where the client library puts one column's value of the current row.
struct MariaDbSlot {
    unsigned long length = 0;  // the whole value's, also when it was cut
    my_bool isNull = 0;
    my_bool truncated = 0;
    union Fixed {
        long long integer;
        float single;
        double real;
        MYSQL_TIME time;
    } fixed{};
    QByteArray bound;     // text and bytes, as long as they fit
    QByteArray overflow;  // a longer value, read whole
    bool overflowed = false;

    QByteArrayView bytes() const {
        return overflowed ? QByteArrayView(overflow)
                          : QByteArrayView(bound.constData(), static_cast<qsizetype>(length));
    }
};

// The bind buffers of a statement's result, reused row after row: fixed
// values in place, text and bytes in a buffer per column sized from the
// column (long types start small). A value longer than its buffer is read
// in pieces, the rest with mysql_stmt_fetch_column, and the buffer grows
// for the rows that follow, up to a bound, so that the usual row needs no
// allocation at all.
class MariaDbRowBuffers {
  public:
    // False when the library refuses the buffers (its error says why).
    bool bind(MYSQL_STMT* statement, const std::vector<MariaDbColumn>& columns);
    // Before each fetch: binds larger buffers where values outgrew theirs.
    bool prepareFetch(MYSQL_STMT* statement);
    // After a fetch; `truncated` when it said some values did not fit.
    bool completeRow(MYSQL_STMT* statement, bool truncated);

    const MariaDbSlot& slot(int position) const { return slots_[static_cast<size_t>(position)]; }

  private:
    bool readOverflow(MYSQL_STMT* statement, unsigned int position);

    std::vector<MYSQL_BIND> binds_;
    std::vector<MariaDbSlot> slots_;  // never resized once bound: binds point into it
    bool rebind_ = false;
};

}  // namespace brivano::db
