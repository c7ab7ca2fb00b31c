#pragma once

#include <QStringView>

namespace brivano::cli {

// True for a table name that brivano-export accepts: letters (of any
// script), digits, '_' and '$', possibly qualified by a schema (and a
// database) with '.', each part of which may instead be quoted in "..." or
// [...] without a quote of its own kind inside. Nothing else: the name goes
// into a query, and the command line must not be a way to run statements.
bool isTableName(QStringView name);

}  // namespace brivano::cli
