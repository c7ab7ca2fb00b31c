#include "db/odbc/OdbcDescribe.h"

#include "db/odbc/OdbcDiagnostics.h"
#include "db/odbc/OdbcText.h"

namespace brivano::db {

namespace {

constexpr SQLSMALLINT kNameChars = 256;

// Name, SQL type, size and (first guess at) nullability.
void describeColumn(OdbcHandleRef statement, SQLUSMALLINT number, OdbcColumnInfo& info) {
    std::vector<SQLWCHAR> name(kNameChars);
    SQLSMALLINT length = 0;
    SQLSMALLINT digits = 0;
    SQLSMALLINT nullable = SQL_NULLABLE_UNKNOWN;
    auto describe = [&] {
        return SQLDescribeColW(statement.handle, number, name.data(),
                               static_cast<SQLSMALLINT>(name.size()), &length, &info.sqlType,
                               &info.columnSize, &digits, &nullable);
    };
    SQLRETURN rc = describe();
    checkOdbc(rc, statement, "SQLDescribeCol");
    if (length >= static_cast<SQLSMALLINT>(name.size())) {
        name.resize(static_cast<size_t>(length) + 1);
        rc = describe();
        checkOdbc(rc, statement, "SQLDescribeCol");
    }
    info.nullable = nullable;
    info.name = fromWideBuffer(name.data(), static_cast<qsizetype>(name.size()), length);
}

// A numeric descriptor field, or `fallback` when the driver does not keep
// it: these fields have an "unknown" value of their own, which is the honest
// answer then.
SQLLEN numericAttribute(OdbcHandleRef statement, SQLUSMALLINT number, SQLUSMALLINT field,
                        SQLLEN fallback) {
    SQLLEN value = fallback;
    const SQLRETURN rc =
        SQLColAttributeW(statement.handle, number, field, nullptr, 0, nullptr, &value);
    return SQL_SUCCEEDED(rc) ? value : fallback;
}

QString typeName(OdbcHandleRef statement, SQLUSMALLINT number) {
    SQLWCHAR name[kNameChars] = {};
    SQLSMALLINT bytes = 0;
    const SQLRETURN rc = SQLColAttributeW(statement.handle, number, SQL_DESC_TYPE_NAME, name,
                                          sizeof(name), &bytes, nullptr);
    if (!SQL_SUCCEEDED(rc)) {
        return {};  // no declared name: the driver's type decides
    }
    return fromWideBuffer(name, kNameChars, bytes / static_cast<SQLSMALLINT>(sizeof(SQLWCHAR)));
}

}  // namespace

std::vector<OdbcColumn> describeOdbcColumns(OdbcHandleRef statement, OdbcColumnRules rules) {
    SQLSMALLINT count = 0;
    checkOdbc(SQLNumResultCols(statement.handle, &count), statement, "SQLNumResultCols");
    std::vector<OdbcColumn> columns;
    columns.reserve(static_cast<size_t>(std::max<SQLSMALLINT>(count, 0)));
    for (SQLUSMALLINT number = 1; number <= count; ++number) {
        OdbcColumnInfo info;
        describeColumn(statement, number, info);
        // SQLDescribeCol calls every column nullable with some drivers; the
        // descriptor field is right where they differ.
        info.nullable = numericAttribute(statement, number, SQL_DESC_NULLABLE, info.nullable);
        info.updatable =
            numericAttribute(statement, number, SQL_DESC_UPDATABLE, SQL_ATTR_READWRITE_UNKNOWN);
        info.isUnsigned =
            numericAttribute(statement, number, SQL_DESC_UNSIGNED, SQL_FALSE) == SQL_TRUE;
        if (rules.byDeclaredName || rules.castsForText) {
            info.typeName = typeName(statement, number);
        }
        columns.push_back(mapOdbcColumn(info, rules));
    }
    return columns;
}

}  // namespace brivano::db
