#include "db/dialect/DeclaredType.h"

#include <QString>
#include <array>
#include <utility>

#include "db/AdoTypes.h"

namespace brivano::db {

namespace {

struct NamedType {
    const char* name;
    AdoType type;
};

// Names in upper case with single blanks, without the parenthesised size.
// GUID names are missing on purpose: SQLite keeps such values as text or
// blobs of any form, so they are read as what the driver reports.
constexpr std::array kNamedTypes = {
    NamedType{"CHAR", adChar},
    NamedType{"CHARACTER", adChar},
    NamedType{"NCHAR", adWChar},
    NamedType{"NATIONAL CHAR", adWChar},
    NamedType{"NATIONAL CHARACTER", adWChar},
    NamedType{"NATIVE CHARACTER", adWChar},
    NamedType{"VARCHAR", adVarChar},
    NamedType{"VARCHAR2", adVarChar},
    NamedType{"CHAR VARYING", adVarChar},
    NamedType{"CHARACTER VARYING", adVarChar},
    NamedType{"VARYING CHARACTER", adVarChar},
    NamedType{"NVARCHAR", adVarWChar},
    NamedType{"NVARCHAR2", adVarWChar},
    NamedType{"NCHAR VARYING", adVarWChar},
    NamedType{"NATIONAL VARCHAR", adVarWChar},
    NamedType{"NATIONAL CHAR VARYING", adVarWChar},
    NamedType{"NATIONAL CHARACTER VARYING", adVarWChar},
    NamedType{"TEXT", adLongVarChar},
    NamedType{"CLOB", adLongVarChar},
    NamedType{"MEMO", adLongVarChar},
    NamedType{"TINYTEXT", adLongVarChar},
    NamedType{"MEDIUMTEXT", adLongVarChar},
    NamedType{"LONGTEXT", adLongVarChar},
    NamedType{"LONG VARCHAR", adLongVarChar},
    NamedType{"LONGVARCHAR", adLongVarChar},
    NamedType{"NTEXT", adLongVarWChar},
    NamedType{"NCLOB", adLongVarWChar},
    NamedType{"NUMERIC", adNumeric},
    NamedType{"DECIMAL", adNumeric},
    NamedType{"DEC", adNumeric},
    NamedType{"TINYINT", adTinyInt},
    NamedType{"INT1", adTinyInt},
    NamedType{"SMALLINT", adSmallInt},
    NamedType{"INT2", adSmallInt},
    NamedType{"INT", adInteger},
    NamedType{"INTEGER", adInteger},
    NamedType{"MEDIUMINT", adInteger},
    NamedType{"INT4", adInteger},
    NamedType{"BIGINT", adBigInt},
    NamedType{"INT8", adBigInt},
    NamedType{"UNSIGNED BIG INT", adUnsignedBigInt},
    NamedType{"REAL", adDouble},
    NamedType{"FLOAT", adDouble},
    NamedType{"DOUBLE", adDouble},
    NamedType{"DOUBLE PRECISION", adDouble},
    NamedType{"FLOAT8", adDouble},
    NamedType{"BIT", adBoolean},
    NamedType{"BOOL", adBoolean},
    NamedType{"BOOLEAN", adBoolean},
    NamedType{"DATE", adDBDate},
    NamedType{"TIME", adDBTime},
    NamedType{"TIMESTAMP", adDBTimeStamp},
    NamedType{"DATETIME", adDBTimeStamp},
    NamedType{"BINARY", adBinary},
    NamedType{"VARBINARY", adVarBinary},
    NamedType{"BLOB", adLongVarBinary},
    NamedType{"TINYBLOB", adLongVarBinary},
    NamedType{"MEDIUMBLOB", adLongVarBinary},
    NamedType{"LONGBLOB", adLongVarBinary},
    NamedType{"LONGVARBINARY", adLongVarBinary},
    NamedType{"IMAGE", adLongVarBinary},
    NamedType{"BYTEA", adLongVarBinary},
};

// The unsigned type of a signed integer type ("INT UNSIGNED"), else none.
std::optional<AdoType> unsignedOf(std::int16_t type) {
    switch (type) {
        case adTinyInt:
            return adUnsignedTinyInt;
        case adSmallInt:
            return adUnsignedSmallInt;
        case adInteger:
            return adUnsignedInt;
        case adBigInt:
            return adUnsignedBigInt;
        default:
            return std::nullopt;
    }
}

// Splits "Numeric (10, 2) unsigned" into "NUMERIC UNSIGNED" and 10.
std::pair<QString, std::int64_t> normalise(QStringView declaredName) {
    QString words = declaredName.toString();
    std::int64_t length = -1;
    if (const qsizetype open = words.indexOf(u'('); open >= 0) {
        qsizetype close = words.indexOf(u')', open);
        if (close < 0) {
            close = words.size();
        }
        QStringView inside = QStringView(words).mid(open + 1, close - open - 1);
        if (const qsizetype comma = inside.indexOf(u','); comma >= 0) {
            inside = inside.left(comma);
        }
        bool ok = false;
        const std::int64_t number = inside.trimmed().toLongLong(&ok);
        if (ok) {
            length = number;
        }
        words.replace(open, close - open + 1, u' ');
    }
    return {words.simplified().toUpper(), length};
}

}  // namespace

std::optional<DeclaredType> declaredType(QStringView declaredName) {
    auto [words, length] = normalise(declaredName);
    bool isUnsigned = false;
    if (words.endsWith(QLatin1String(" UNSIGNED"))) {
        isUnsigned = true;
        words.chop(static_cast<qsizetype>(sizeof(" UNSIGNED")) - 1);
    } else if (words.startsWith(QLatin1String("UNSIGNED ")) && words != u"UNSIGNED BIG INT") {
        isUnsigned = true;
        words.remove(0, static_cast<qsizetype>(sizeof("UNSIGNED ")) - 1);
    }
    for (const NamedType& named : kNamedTypes) {
        if (words == QLatin1String(named.name)) {
            std::int16_t type = named.type;
            if (isUnsigned) {
                type = unsignedOf(type).value_or(named.type);
            }
            return DeclaredType{type, length};
        }
    }
    return std::nullopt;
}

ColumnShape declaredShape(const DeclaredType& declared, std::int64_t sizeWithoutLength,
                          Nullability nullability, Writability writability) {
    std::int64_t size = declared.length;
    if (size < 0)
        size = isLongType(declared.type) ? 0 : sizeWithoutLength;
    return shapeFor(declared.type, size, nullability, writability);
}

}  // namespace brivano::db
