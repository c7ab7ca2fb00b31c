#include "db/sqlite/SqliteColumn.h"

#include "db/dialect/DeclaredType.h"

namespace brivano::db {

namespace {

// The size the SQLite ODBC driver gives text and binary columns declared
// without one, and columns it cannot type.
constexpr std::int64_t kDefaultSize = 255;

QString fromUtf16(const void* text) {
    return text == nullptr ? QString() : QString::fromUtf16(static_cast<const char16_t*>(text));
}

Nullability nullabilityOf(sqlite3* database, sqlite3_stmt* statement, int index) {
    const char* table = sqlite3_column_table_name(statement, index);
    const char* origin = sqlite3_column_origin_name(statement, index);
    const char* schema = sqlite3_column_database_name(statement, index);
    int notNull = 0;
    if (table == nullptr || origin == nullptr ||
        sqlite3_table_column_metadata(database, schema, table, origin, nullptr, nullptr, &notNull,
                                      nullptr, nullptr) != SQLITE_OK) {
        return Nullability::Nullable;  // an expression: it may be null
    }
    return notNull != 0 ? Nullability::NoNulls : Nullability::Nullable;
}

}  // namespace

ColumnShape sqliteColumnShape(QStringView declaredName, int storageClass, Nullability nullability) {
    constexpr Writability kWritable = Writability::Writable;
    if (const std::optional<DeclaredType> declared = declaredType(declaredName))
        return declaredShape(*declared, kDefaultSize, nullability, kWritable);
    if (declaredName.isEmpty()) {
        switch (storageClass) {
            case SQLITE_INTEGER:
                return shapeFor(adInteger, 0, nullability, kWritable);
            case SQLITE_FLOAT:
                return shapeFor(adDouble, 0, nullability, kWritable);
            case SQLITE_BLOB:
                return shapeFor(adLongVarBinary, 0, nullability, kWritable);
            default:
                break;
        }
    }
    return shapeFor(adVarChar, kDefaultSize, nullability, kWritable);
}

std::vector<SqliteColumn> describeSqliteColumns(sqlite3* database, sqlite3_stmt* statement,
                                                bool hasRow) {
    const int count = sqlite3_column_count(statement);
    std::vector<SqliteColumn> columns;
    columns.reserve(static_cast<size_t>(count));
    for (int index = 0; index < count; ++index) {
        const QString declared = fromUtf16(sqlite3_column_decltype16(statement, index));
        const int storage = hasRow ? sqlite3_column_type(statement, index) : SQLITE_NULL;
        columns.push_back(
            {fromUtf16(sqlite3_column_name16(statement, index)),
             sqliteColumnShape(declared, storage, nullabilityOf(database, statement, index))});
    }
    return columns;
}

}  // namespace brivano::db
