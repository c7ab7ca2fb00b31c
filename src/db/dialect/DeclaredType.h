#pragma once

#include <QStringView>
#include <cstdint>
#include <optional>

#include "db/ColumnShape.h"

namespace brivano::db {

// A column type recognised from the name it was declared with, as SQLite
// keeps it ("varchar(40)", "NCHAR(10)", "numeric(10,2)", "datetime").
struct DeclaredType {
    std::int16_t type = 0;     // AdoType
    std::int64_t length = -1;  // the first number in parentheses; -1 when none
};

// The type for a declared name, or nothing when the name is not one of the
// known SQL type names (an empty name included).
//
// SQLite stores every floating-point value in 8 bytes, so REAL and FLOAT
// are doubles here: reading them as 4-byte reals would lose digits.
std::optional<DeclaredType> declaredType(QStringView declaredName);

// The shape of a column typed by its declared name, the same for SQLite's
// built-in provider and its ODBC driver: the size in parentheses, else
// unbounded for the long types and `sizeWithoutLength` for the others.
ColumnShape declaredShape(const DeclaredType& declared, std::int64_t sizeWithoutLength,
                          Nullability nullability, Writability writability);

}  // namespace brivano::db
