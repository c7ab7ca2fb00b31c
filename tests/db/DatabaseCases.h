#pragma once

#include <QString>
#include <cstdint>
#include <vector>

#include "db/Value.h"
#include "support/TestSupport.h"

namespace brivano::test {

// One column kind of a database: how it is declared and filled, and what
// the data-access layer must report for it.
struct ColumnCase {
    const char* declaration;  // the column's definition in CREATE TABLE
    const char* literal;      // the value of the first row, as SQL
    std::int16_t type;
    std::int32_t definedSize;
    std::int32_t attributes;
    const char* value;  // describeValue() of the first row's value
};

// The column kinds each database is checked for.
std::vector<ColumnCase> columnCases(const TestDatabase& database);

// What differs in SQL between the databases for the long-value tests.
struct Dialect {
    const char* longText;
    const char* longBinary;
    // A varchar whose declared or reported size is below 1000 characters,
    // yet holds 1000 (PostgreSQL: no limit; SQLite: none enforced).
    const char* shortReportedText;
    QString binaryLiteral(const QByteArray& bytes) const;
    bool postgres = false;
};
Dialect dialectOf(const TestDatabase& database);

// A short text form of a value, for comparing against the tables.
QString describeValue(const db::Value& value);

}  // namespace brivano::test
