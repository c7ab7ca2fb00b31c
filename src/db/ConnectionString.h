#pragma once

#include <QString>
#include <QStringView>
#include <optional>

namespace brivano::db {

// The value of one attribute of a connection string "Key=Value;Key=Value".
// Keys match without regard to case or surrounding blanks; a value may be
// quoted with "..." or '...' (a doubled quote stands for itself) or braced
// with {...}, which lets it hold ';'. Nothing when the key is absent.
std::optional<QString> connectionAttribute(QStringView connectionString, QStringView key);

// Which provider opens a connection string: its Provider= keyword names a
// built-in one ("Provider=SQLite;Data Source=/path/file.db"); every other
// string goes to the ODBC driver manager unchanged.
enum class ProviderKind { Odbc, Sqlite, PostgreSQL, MariaDB };
ProviderKind providerKind(QStringView connectionString);

}  // namespace brivano::db
