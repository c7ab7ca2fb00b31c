#pragma once

#include <QByteArray>
#include <QString>
#include <vector>

#include "db/postgres/PgColumn.h"

namespace brivano::db {

// COPY of a command's rows in the binary form, the command taken whole as a
// derived table (the extended protocol runs it only as the single statement
// it must be) with its columns named by position: timestamps with a time
// zone shifted to the session's, and the types without a decoder of their
// own as their output text.
QByteArray pgCopyStatement(const QString& command, const std::vector<PgColumn>& columns);

}  // namespace brivano::db
