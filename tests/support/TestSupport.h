#pragma once

#include <gtest/gtest.h>

#include <QString>
#include <QStringList>
#include <memory>
#include <string>
#include <vector>

#include "db/Database.h"

namespace brivano::test {

// A database the shared test bodies run against.
struct TestDatabase {
    // A SQLite file through the ODBC driver or the built-in provider, or a
    // database server.
    enum class Kind { SqliteOdbc, SqliteNative, Server };

    // "SQLite", "SQLiteNative", "PostgreSQL", "PostgreSQLNative", "MariaDB",
    // "MariaDBNative": used in test names
    QString name;
    QString connectionString;  // connection string; empty when unavailable
    // Where set-up statements go (CREATE, INSERT, ...): the same database,
    // through a connection that may write.
    QString setupConnectionString;
    Kind kind = Kind::Server;
    QString missingReason;  // why connectionString is empty
    // Read through a provider built into Brivano rather than a driver.
    bool builtInProvider = false;
};

// The databases of this run: a fresh SQLite file always (through the ODBC
// driver and through the built-in provider), and the servers that
// scripts/test started (BRIVANO_TEST_POSTGRES, BRIVANO_TEST_MARIADB), each
// server through its ODBC driver and through the built-in provider. When
// BRIVANO_REQUIRE_SERVERS=1 a missing server is a test failure, never a skip.
std::vector<TestDatabase> testDatabases();

// The MariaDB entry of testDatabases() that goes through the built-in
// provider, for bodies about that provider's ways.
std::vector<TestDatabase> mariadbNativeDatabases();

// True for the MariaDB server, whichever way it is reached.
bool isMariaDb(const TestDatabase& database);

// The MariaDB server's ODBC string with its Driver= part made
// "Provider=MariaDB": the same server through the built-in provider.
QString mariadbProviderString(const QString& odbcString);

// True when a missing server must fail the test rather than skip it.
bool serversRequired();

// The same database for one test: the file-based ones get a new, empty
// file, so tests never see each other's tables.
TestDatabase freshInstance(const TestDatabase& database);

// A new, empty SQLite database file in a folder that goes when the test
// program ends, and the ODBC string that opens it.
QString freshSqliteFile();
QString sqliteOdbcString(const QString& path);
// `path` as the ODBC driver names it: itself, except under wine, whose
// ODBC drivers are the Linux ones and take the Linux path.
QString driverPath(const QString& path);

// What only some systems let a test count on. True on Linux: the process's
// locale follows LC_ALL as the program starts; the database clients reach
// a local server through a socket file and read option files under HOME.
bool localeFollowsEnvironment();
bool posixClientConventions();
QString sqliteProviderString(const QString& path);

// The SQLite entries of testDatabases(), for bodies about SQLite's ways.
std::vector<TestDatabase> sqliteDatabases();

// Opens the connection db::createConnection() makes for the string; throws
// brivano::Error.
std::unique_ptr<db::Connection> openConnection(const QString& connectionString);

// Runs statements in order over one ODBC connection that may write (the
// tool's own never do); throws on the first failure.
void runStatements(const QString& connectionString, const QStringList& statements);

// Standard output of a program that must succeed (a failure fails the test).
QString programOutput(const QString& program, const QStringList& arguments);

// The text of a PDF file as pdftotext reads it, with `options` (such as
// "-layout"). The default font sets "ff", "fi" and "ffi" as ligatures, which
// come back as one character each (U+FB00...); compatibility normalisation
// spells them out again.
QString pdfText(const QString& pdf, const QStringList& options = {});

// Lets GoogleTest show a database by its name.
void PrintTo(const TestDatabase& database, std::ostream* out);

// For INSTANTIATE_TEST_SUITE_P: names the case after the database.
std::string databaseTestName(const ::testing::TestParamInfo<TestDatabase>& info);

// Base of a test body that runs on every database. SetUp gives the test a
// fresh instance, and skips it (or fails it, when servers are required)
// when the database is not available.
class DatabaseTest : public ::testing::TestWithParam<TestDatabase> {
  protected:
    void SetUp() override;
    void TearDown() override;

    const TestDatabase& database() const { return database_; }
    const QString& connectionString() const { return database_.connectionString; }
    void runSetup(const QStringList& statements) const;
    // A table name of this test process, dropped now if it exists and again
    // when the test ends: tests that run at the same time on one server
    // never meet, and a run never trips over a table left by an earlier one.
    QString tableName(const QString& stem);

  private:
    void dropTable(const QString& name) const;

    TestDatabase database_;
    QStringList tables_;
};

}  // namespace brivano::test
