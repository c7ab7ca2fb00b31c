#pragma once

#include <sqlite3.h>

#include <QString>
#include <vector>

#include "db/ColumnShape.h"

namespace brivano::db {

struct SqliteColumn {
    QString name;
    ColumnShape shape;
};

// Describes the columns of a statement that stands on its first row (or
// has none), the way the SQLite ODBC driver does: the declared type name
// decides; a column without one (an expression) takes the type of its
// first value. Nullability comes from the table's definition; every column
// counts as writable, as that driver reports.
std::vector<SqliteColumn> describeSqliteColumns(sqlite3* database, sqlite3_stmt* statement,
                                                bool hasRow);

// The shape for a declared type name (empty for none) and, for columns
// without a known name, the storage class of the first value.
ColumnShape sqliteColumnShape(QStringView declaredName, int storageClass, Nullability nullability);

}  // namespace brivano::db
