#pragma once

// The ODBC headers in the order every platform accepts (Windows needs its
// own types first). Only the standard ODBC 3 API is used through them.
#ifdef _WIN32
#include <windows.h>
#endif
#include <sql.h>
#include <sqlext.h>
#include <sqlucode.h>

static_assert(sizeof(SQLWCHAR) == 2, "wide ODBC text is UTF-16 on every supported platform");
