#pragma once

#include <QByteArray>
#include <QString>
#include <vector>

#include "db/postgres/PgColumn.h"

namespace brivano::db {

// The statements that count and read a command's rows. Each takes the
// command whole as a derived table, which the extended protocol runs only
// as the single statement it must be, and names its columns c1, c2, ... by
// position, so that two columns of one name cannot clash.

// SELECT count(*) of the rows whose every column can be computed (a column
// of a view may fail on a row that a bare count would never compute); with
// `firstOnly`, whether there is any such row (0 or 1).
QByteArray pgCountStatement(const QString& command, int columns, bool firstOnly);

// COPY of the rows in the binary form: timestamps with a time zone shifted
// to the session's, and the types without a decoder of their own as their
// output text.
QByteArray pgCopyStatement(const QString& command, const std::vector<PgColumn>& columns);

}  // namespace brivano::db
