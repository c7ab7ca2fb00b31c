#pragma once

#include <QString>
#include <memory>

#include "db/Database.h"
#include "db/mariadb/MariaDbSession.h"

namespace brivano::db {

// A query that gives rows, prepared but not yet run: its count and its
// at-end test are answered by count queries, and it streams its rows only
// when they are read. Throws the server's error when it cannot be prepared.
// A command that gives no rows runs at once.
std::unique_ptr<ResultSet> prepareCountedMariaDb(const std::shared_ptr<MariaDbSession>& session,
                                                 const QString& commandText);

// The query run at once, its rows streamed.
std::unique_ptr<ResultSet> executeMariaDb(const std::shared_ptr<MariaDbSession>& session,
                                          const QString& commandText);

}  // namespace brivano::db
