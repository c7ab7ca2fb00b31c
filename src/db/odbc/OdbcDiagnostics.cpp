#include "db/odbc/OdbcDiagnostics.h"

#include "db/MessageText.h"
#include "db/odbc/OdbcApi.h"
#include "texts/Texts.h"

namespace brivano::db {

namespace {

constexpr SQLSMALLINT kSqlStateLength = 5;
constexpr SQLSMALLINT kMessageChunk = 1024;
// SQLSTATE class 01 holds warnings, which never explain a failure.
constexpr QStringView kWarningClass = u"01";

// Reads record `number` of a handle; false when there is no such record.
bool readRecord(OdbcHandleRef handle, SQLSMALLINT number, std::vector<Error>& out) {
    SQLWCHAR state[kSqlStateLength + 1] = {};
    SQLINTEGER native = 0;
    std::vector<SQLWCHAR> message(kMessageChunk);
    SQLSMALLINT length = 0;
    SQLRETURN rc =
        SQLGetDiagRecW(handle.type, handle.handle, number, state, &native, message.data(),
                       static_cast<SQLSMALLINT>(message.size()), &length);
    if (rc == SQL_SUCCESS_WITH_INFO && length >= static_cast<SQLSMALLINT>(message.size())) {
        message.resize(static_cast<size_t>(length) + 1);
        rc = SQLGetDiagRecW(handle.type, handle.handle, number, state, &native, message.data(),
                            static_cast<SQLSMALLINT>(message.size()), &length);
    }
    if (!SQL_SUCCEEDED(rc)) {
        return false;
    }
    const QString text =
        fromWideBuffer(message.data(), static_cast<qsizetype>(message.size()), length);
    out.emplace_back(native, singleLineMessage(text), fromWide(state, kSqlStateLength));
    return true;
}

}  // namespace

Error odbcFailure(SQLRETURN rc, OdbcHandleRef handle, const char* call) {
    std::vector<Error> records;
    for (SQLSMALLINT number = 1;
         handle.handle != SQL_NULL_HANDLE && readRecord(handle, number, records); ++number) {
    }
    for (const Error& record : records) {
        if (!record.sqlState().startsWith(kWarningClass))
            return record;
    }
    return records.empty() ? Error(rc, texts::driverGaveNoMessage(call, rc)) : records.front();
}

}  // namespace brivano::db
