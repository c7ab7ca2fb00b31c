#pragma once

#include <QString>
#include <QStringView>
#include <vector>

#include "db/Database.h"
#include "db/MessageText.h"
#include "db/OdbcHandle.h"

namespace brivano::db {

// Every diagnostic record of a handle, in the driver's order.
std::vector<Error> readDiagnostics(OdbcHandleRef handle);

// Reports the failure of an ODBC call: the handle's records replace the
// content of `errors`, and the first error among them is thrown. A driver
// that fails without any record still gets one entry, so a failure never
// passes for a success.
[[noreturn]] void raiseOdbcFailure(SQLRETURN rc, OdbcHandleRef handle, ErrorList& errors,
                                   const char* call);
// The same for records read beforehand (the handle is gone by now).
[[noreturn]] void raiseOdbcRecords(SQLRETURN rc, std::vector<Error> records, ErrorList& errors,
                                   const char* call);

inline void checkOdbc(SQLRETURN rc, OdbcHandleRef handle, ErrorList& errors, const char* call) {
    if (!SQL_SUCCEEDED(rc)) {
        raiseOdbcFailure(rc, handle, errors, call);
    }
}

}  // namespace brivano::db
