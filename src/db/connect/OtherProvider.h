#pragma once

#include <memory>

#include "db/Database.h"

namespace brivano::db {

// The connection for a string whose Provider= keyword names none of the
// built-in providers: on Windows ADO's, which knows the system's OLE DB
// providers; elsewhere the ODBC driver manager's, which is what such a
// string has always gone to (and which says that it knows no such source).
// One source file per system, chosen by CMake.
std::unique_ptr<Connection> createOtherProviderConnection();

}  // namespace brivano::db
