#pragma once

#include <QString>
#include <vector>

namespace brivano::test {

// A database the shared test bodies run against.
struct TestDatabase {
    QString name;              // "SQLite", "PostgreSQL", "MariaDB": used in test names
    QString connectionString;  // ODBC connection string; empty when unavailable
};

// The databases of this run: a fresh SQLite file always, and the servers that
// scripts/test started (BRIVANO_TEST_POSTGRES, BRIVANO_TEST_MARIADB). When
// BRIVANO_REQUIRE_SERVERS=1 a missing server is a test failure, never a skip.
std::vector<TestDatabase> testDatabases();

// True when a missing server must fail the test rather than skip it.
bool serversRequired();

}  // namespace brivano::test
