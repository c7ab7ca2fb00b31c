#include "db/odbc/OdbcColumn.h"

#include "db/StoredText.h"
#include "db/dialect/DeclaredType.h"
#include "db/odbc/OdbcApi.h"
#include "db/odbc/OdbcDiagnostics.h"

namespace brivano::db {

namespace {

Nullability nullabilityOf(SQLLEN nullable) {
    switch (nullable) {
        case SQL_NO_NULLS:
            return Nullability::NoNulls;
        case SQL_NULLABLE:
            return Nullability::Nullable;
        default:
            return Nullability::Unknown;
    }
}

Writability writabilityOf(SQLLEN updatable) {
    switch (updatable) {
        case SQL_ATTR_READONLY:
            return Writability::ReadOnly;
        case SQL_ATTR_WRITE:
            return Writability::Writable;
        default:
            return Writability::Unknown;
    }
}

bool isWideSqlType(SQLSMALLINT sqlType) {
    return sqlType == SQL_WCHAR || sqlType == SQL_WVARCHAR || sqlType == SQL_WLONGVARCHAR;
}

// The C type a value is fetched as. Text keeps the width the driver reports
// for the column: narrow drivers hand UTF-8 to SQL_C_CHAR, and some refuse
// SQL_C_WCHAR; binary goes as bytes because at least one driver returns an
// empty string, without any error, for binary fetched as text.
SQLSMALLINT cTypeFor(ValueKind kind, SQLSMALLINT sqlType) {
    switch (kind) {
        case ValueKind::Integer:
            return SQL_C_SBIGINT;
        case ValueKind::Unsigned:
            return SQL_C_UBIGINT;
        case ValueKind::Single:
            return SQL_C_FLOAT;
        case ValueKind::Double:
            return SQL_C_DOUBLE;
        case ValueKind::Boolean:
            return SQL_C_BIT;
        case ValueKind::Date:
            return SQL_C_TYPE_DATE;
        case ValueKind::Time:
            return SQL_C_TYPE_TIME;
        case ValueKind::Timestamp:
            return SQL_C_TYPE_TIMESTAMP;
        case ValueKind::Binary:
            return SQL_C_BINARY;
        case ValueKind::Guid:
            return SQL_C_GUID;
        case ValueKind::Decimal:
            // Exact digits; a number type would round them.
            return SQL_C_CHAR;
        case ValueKind::Text:
        case ValueKind::Other:
        case ValueKind::Null:
            break;
    }
    return isWideSqlType(sqlType) ? SQL_C_WCHAR : SQL_C_CHAR;
}

TextForm textFormOf(const ColumnShape& shape, const OdbcColumnInfo& info, OdbcColumnRules rules) {
    if (rules.byDeclaredName && isConvertedFromText(shape.kind))
        return TextForm::Stored;
    const bool dateOrTime = shape.kind == ValueKind::Date || shape.kind == ValueKind::Time ||
                            shape.kind == ValueKind::Timestamp;
    if (rules.datesAsText && dateOrTime)
        return TextForm::ServerDateTime;
    if (rules.castsForText && info.typeName.compare(u"money", Qt::CaseInsensitive) == 0)
        return TextForm::Money;
    return TextForm::None;
}

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

std::int16_t adoTypeOf(SQLSMALLINT sqlType, bool isUnsigned) {
    switch (sqlType) {
        case SQL_CHAR:
            return adChar;
        case SQL_WCHAR:
            return adWChar;
        case SQL_VARCHAR:
            return adVarChar;
        case SQL_WVARCHAR:
            return adVarWChar;
        case SQL_LONGVARCHAR:
            return adLongVarChar;
        case SQL_WLONGVARCHAR:
            return adLongVarWChar;
        case SQL_DECIMAL:
        case SQL_NUMERIC:
            return adNumeric;
        case SQL_TINYINT:
            return isUnsigned ? adUnsignedTinyInt : adTinyInt;
        case SQL_SMALLINT:
            return isUnsigned ? adUnsignedSmallInt : adSmallInt;
        case SQL_INTEGER:
            return isUnsigned ? adUnsignedInt : adInteger;
        case SQL_BIGINT:
            return isUnsigned ? adUnsignedBigInt : adBigInt;
        case SQL_REAL:
            return adSingle;
        case SQL_FLOAT:
        case SQL_DOUBLE:
            return adDouble;
        case SQL_BIT:
            return adBoolean;
        case SQL_TYPE_DATE:
        case SQL_DATE:
            return adDBDate;
        case SQL_TYPE_TIME:
        case SQL_TIME:
            return adDBTime;
        case SQL_TYPE_TIMESTAMP:
        case SQL_TIMESTAMP:
            return adDBTimeStamp;
        case SQL_BINARY:
            return adBinary;
        case SQL_VARBINARY:
            return adVarBinary;
        case SQL_LONGVARBINARY:
            return adLongVarBinary;
        case SQL_GUID:
            return adGUID;
        default:
            return adVarChar;
    }
}

OdbcColumn mapOdbcColumn(const OdbcColumnInfo& info, OdbcColumnRules rules) {
    const bool byDeclaredName = rules.byDeclaredName;
    const Nullability nullability = nullabilityOf(info.nullable);
    const Writability writability = writabilityOf(info.updatable);
    const std::int64_t driverSize = static_cast<std::int64_t>(info.columnSize);

    OdbcColumn column;
    column.name = info.name;
    column.columnSize = info.columnSize;
    std::optional<DeclaredType> declared;
    if (byDeclaredName) {
        declared = declaredType(info.typeName);
    }
    if (declared) {
        column.shape = declaredShape(*declared, driverSize, nullability, writability);
    } else {
        const std::int16_t type = adoTypeOf(info.sqlType, info.isUnsigned);
        column.shape = shapeFor(type, driverSize, nullability, writability);
        if (type == adVarChar && info.sqlType != SQL_VARCHAR) {
            // A type without an ADO code is read as the database's own text.
            column.shape.kind = ValueKind::Other;
        }
    }
    column.textForm = textFormOf(column.shape, info, rules);
    if (column.textForm == TextForm::Money)
        column.shape.kind = ValueKind::Decimal;
    if (rules.castsForText && column.textForm == TextForm::ServerDateTime)
        column.fetchCast = QStringLiteral("text");
    else if (column.textForm == TextForm::Money)
        column.fetchCast = QStringLiteral("numeric");
    column.cType =
        column.textForm != TextForm::None ? SQL_C_CHAR : cTypeFor(column.shape.kind, info.sqlType);
    if (column.cType == SQL_C_WCHAR && rules.narrowTextIsUtf8) {
        column.cType = SQL_C_CHAR;
    }
    return column;
}

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
