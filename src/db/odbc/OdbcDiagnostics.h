#pragma once

#include <QString>
#include <QStringView>
#include <vector>

#include "db/Error.h"
#include "db/MessageText.h"
#include "db/odbc/OdbcHandle.h"

namespace brivano::db {

// Every diagnostic record of a handle, in the driver's order.
std::vector<Error> readDiagnostics(OdbcHandleRef handle);

// Reports the failure of an ODBC call: throws the first error among the
// handle's records that is not a warning. A driver that fails without any
// record still gets an error, so a failure never passes for a success.
[[noreturn]] void raiseOdbcFailure(SQLRETURN rc, OdbcHandleRef handle, const char* call);
// The same for records read beforehand (the handle is gone by now).
[[noreturn]] void raiseOdbcRecords(SQLRETURN rc, std::vector<Error> records, const char* call);

inline void checkOdbc(SQLRETURN rc, OdbcHandleRef handle, const char* call) {
    if (!SQL_SUCCEEDED(rc)) {
        raiseOdbcFailure(rc, handle, call);
    }
}

}  // namespace brivano::db
