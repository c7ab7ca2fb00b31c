#pragma once

#include <memory>

#include "db/Database.h"

namespace brivano::db {

// A closed connection that picks its provider when it is opened, from the
// connection string: "Provider=SQLite;Data Source=/path/file.db" opens the
// file through the built-in SQLite provider, "Provider=PostgreSQL;Host=...;
// Database=..." and "Provider=MariaDB;Server=...;..." a server through its
// own client library (all read-only); every other string goes to the ODBC
// driver manager unchanged.
std::unique_ptr<Connection> createConnection();

}  // namespace brivano::db
