#pragma once

#include <QString>
#include <memory>

#include "db/Database.h"
#include "db/odbc/OdbcSession.h"

namespace brivano::db {

// A SELECT command prepared on `session`, whose rows are counted by count
// queries over it and read only when asked for (see CountedResultSet);
// null when the command is no SELECT or the driver cannot describe it
// before running it: it is then best run as it is.
std::unique_ptr<ResultSet> prepareCountedOdbc(const std::shared_ptr<OdbcSession>& session,
                                              const QString& commandText);

}  // namespace brivano::db
