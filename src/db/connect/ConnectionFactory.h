#pragma once

#include <memory>

#include "db/Database.h"

namespace brivano::db {

// A closed connection that picks its provider when it is opened, from the
// connection string: "Provider=SQLite;Data Source=/path/file.db" opens the
// file through the built-in SQLite provider (read-only), "Provider=MariaDB;
// Server=...;..." a MariaDB server through its client library; every other string
// goes to the ODBC driver manager unchanged.
std::unique_ptr<Connection> createConnection();

}  // namespace brivano::db
