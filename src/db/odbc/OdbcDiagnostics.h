#pragma once

#include <QString>
#include <QStringView>
#include <vector>

#include "db/Error.h"
#include "db/MessageText.h"
#include "db/odbc/OdbcHandle.h"

namespace brivano::db {

// The failure of an ODBC call: the first of the handle's diagnostic records
// that is not a warning. A driver that fails without any record still gets
// an error, so a failure never passes for a success.
Error odbcFailure(SQLRETURN rc, OdbcHandleRef handle, const char* call);

[[noreturn]] inline void raiseOdbcFailure(SQLRETURN rc, OdbcHandleRef handle, const char* call) {
    throw odbcFailure(rc, handle, call);
}

inline void checkOdbc(SQLRETURN rc, OdbcHandleRef handle, const char* call) {
    if (!SQL_SUCCEEDED(rc)) {
        raiseOdbcFailure(rc, handle, call);
    }
}

}  // namespace brivano::db
