#pragma once

#include <vector>

#include "db/Database.h"
#include "db/odbc/OdbcColumn.h"
#include "db/odbc/OdbcHandle.h"

namespace brivano::db {

// Describes the result columns of an executed statement: the type from
// SQLDescribeCol (drivers disagree on the concise type), nullability and
// writability from the column's descriptor fields.
std::vector<OdbcColumn> describeOdbcColumns(OdbcHandleRef statement, OdbcColumnRules rules);

}  // namespace brivano::db
