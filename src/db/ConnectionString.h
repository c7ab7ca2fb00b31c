#pragma once

#include <QString>
#include <QStringView>
#include <initializer_list>
#include <optional>
#include <span>

namespace brivano::db {

// The value of one attribute of a connection string "Key=Value;Key=Value".
// Keys match without regard to case or surrounding blanks; a value may be
// quoted with "..." or '...' (a doubled quote stands for itself) or braced
// with {...}, which lets it hold ';'. Nothing when the key is absent.
std::optional<QString> connectionAttribute(QStringView connectionString, QStringView key);

// The value of the first of `keys` (spellings of one setting) that the
// string gives with a value; nothing when none does, and an empty value
// says nothing either.
std::optional<QString> connectionAttribute(QStringView connectionString,
                                           std::initializer_list<QStringView> keys);

// A built-in provider takes only the keys it knows: anything else would be
// a setting silently ignored (a certificate not checked, a timeout not
// kept). Throws Error naming the first key of the string that is none of
// `known` (spellings in any case; "Provider" is always known).
void refuseUnknownKeys(QStringView connectionString, std::span<const QStringView> known,
                       QStringView provider);

// Which provider opens a connection string: its Provider= keyword names a
// built-in one ("Provider=SQLite;Data Source=/path/file.db") or another
// (`Other`: "Provider=SQLOLEDB;...", a provider of the system's own data-
// access layer); a string without the keyword is for the ODBC driver
// manager.
enum class ProviderKind { Odbc, Sqlite, PostgreSQL, MariaDB, Other };
ProviderKind providerKind(QStringView connectionString);

}  // namespace brivano::db
