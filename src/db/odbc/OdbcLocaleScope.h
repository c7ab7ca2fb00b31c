#pragma once

#include "platform/Utf8CLocale.h"

namespace brivano::db {

// unixODBC converts between wide and narrow text (statement text for
// drivers without wide entry points, their messages, column names) with
// converters chosen from LC_CTYPE when a connection is made; in the C
// locale that mangles every non-ASCII character. Connecting (and talking
// to the driver) inside this scope makes those conversions UTF-8 whatever
// the operator's locale, and keeps drivers that format numbers with the C
// library on '.' decimals.
using OdbcLocaleScope = platform::Utf8CLocaleScope;

}  // namespace brivano::db
