#pragma once

#include <QString>
#include <memory>

#include "db/Database.h"

namespace brivano::db {

// A closed connection of the provider that `connectionString` names, to be
// opened with it: "Provider=SQLite;Data Source=/path/file.db" opens the file
// through the built-in SQLite provider, "Provider=PostgreSQL;Host=...;
// Database=..." and "Provider=MariaDB;Server=...;..." a server through its
// own client library (all read-only); a string that names another provider
// ("Provider=SQLOLEDB;...") goes to ADO on Windows; every other string goes
// to the ODBC driver manager unchanged.
std::unique_ptr<Connection> createConnection(const QString& connectionString);

}  // namespace brivano::db
