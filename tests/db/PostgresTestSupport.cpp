#include "PostgresTestSupport.h"

#include <QCoreApplication>
#include <cmath>

#include "DatabaseCases.h"

namespace brivano::test {

void PostgresTest::SetUp() {
    for (const TestDatabase& database : testDatabases()) {
        if (database.name == u"PostgreSQL")
            odbc_ = database;
        else if (database.name == u"PostgreSQLNative")
            native_ = database;
    }
    if (odbc_.connectionString.isEmpty() || native_.connectionString.isEmpty()) {
        if (serversRequired())
            FAIL() << "PostgreSQL is required but not available: "
                   << odbc_.missingReason.toStdString();
        GTEST_SKIP() << "PostgreSQL is not available: " << odbc_.missingReason.toStdString();
    }
}

void PostgresTest::TearDown() {
    // Views before the tables they read, types after the tables using them.
    for (auto it = objects_.crbegin(); it != objects_.crend(); ++it)
        drop(it->first, it->second);
}

void PostgresTest::runSetup(const QStringList& statements) const {
    runStatements(odbc_.setupConnectionString, statements);
}

QString PostgresTest::objectName(const QString& stem, const QString& kind) {
    const QString name = QStringLiteral("%1_%2").arg(stem).arg(QCoreApplication::applicationPid());
    drop(kind, name);
    objects_.append({kind, name});
    return name;
}

void PostgresTest::drop(const QString& kind, const QString& name) const {
    runSetup({QStringLiteral("DROP %1 IF EXISTS %2 CASCADE").arg(kind, name)});
}

QString exactValue(const db::Value& value) {
    switch (value.kind) {
        case db::ValueKind::Single:
            return QStringLiteral("Single:") +
                   QString::number(static_cast<float>(value.real), 'g', 9) +
                   (std::signbit(value.real) ? QStringLiteral(" (negative)") : QString());
        case db::ValueKind::Double:
            return QStringLiteral("Double:") + QString::number(value.real, 'g', 17) +
                   (std::signbit(value.real) ? QStringLiteral(" (negative)") : QString());
        case db::ValueKind::Time:
            return describeValue(value) + QStringLiteral(" +%1ns").arg(value.time.nanosecond);
        default:
            return describeValue(value);
    }
}

}  // namespace brivano::test
