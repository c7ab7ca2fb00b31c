#include "SqliteDatabase.h"

#include "db/connect/ConnectionFactory.h"

namespace brivano::test {

SqliteDatabase::SqliteDatabase() = default;

QString SqliteDatabase::connectionString() const {
    return QStringLiteral("Driver=SQLite3;Database=%1").arg(folder_.filePath("test.db"));
}

void SqliteDatabase::run(const QStringList& statements) const {
    auto connection = db::createConnection();
    connection->open(connectionString());
    for (const QString& statement : statements)
        connection->execute(statement);
    connection->close();
}

}  // namespace brivano::test
