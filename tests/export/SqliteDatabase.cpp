#include "SqliteDatabase.h"

#include "support/TestSupport.h"

namespace brivano::test {

SqliteDatabase::SqliteDatabase() = default;

QString SqliteDatabase::connectionString() const {
    return QStringLiteral("Driver=SQLite3;Database=%1")
        .arg(driverPath(folder_.filePath("test.db")));
}

void SqliteDatabase::run(const QStringList& statements) const {
    runStatements(connectionString(), statements);
}

}  // namespace brivano::test
