#include "support/TestSupport.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <atomic>
#include <cstdlib>

#include "db/connect/ConnectionFactory.h"

namespace brivano::test {

namespace {

QString environment(const char* name) {
    const char* value = std::getenv(name);
    return value == nullptr ? QString() : QString::fromUtf8(value);
}

TestDatabase server(const char* name, const char* variable) {
    TestDatabase database;
    database.name = QString::fromLatin1(name);
    database.connectionString = environment(variable);
    database.setupConnectionString = database.connectionString;
    database.kind = TestDatabase::Kind::Server;
    if (database.connectionString.isEmpty()) {
        database.missingReason = QStringLiteral("%1 is not set (scripts/test starts the server)")
                                     .arg(QString::fromLatin1(variable));
    }
    return database;
}

// The same server through a built-in provider: the driver's string with its
// Driver= part replaced by Provider=<provider>. Set-up still goes through
// the driver, since the provider only reads.
TestDatabase builtInServer(const char* name, const char* variable, const char* provider) {
    TestDatabase database = server(name, variable);
    database.builtInProvider = true;
    if (!database.connectionString.isEmpty()) {
        static const QRegularExpression driver(
            QStringLiteral("Driver\\s*=\\s*(\\{[^}]*\\}|[^;]*);?"),
            QRegularExpression::CaseInsensitiveOption);
        database.connectionString.replace(
            driver, QStringLiteral("Provider=%1;").arg(QString::fromLatin1(provider)));
    }
    return database;
}

const QTemporaryDir& scratchFolder() {
    static const QTemporaryDir folder;
    return folder;
}

}  // namespace

bool serversRequired() {
    const char* value = std::getenv("BRIVANO_REQUIRE_SERVERS");
    return value != nullptr && QString::fromUtf8(value) == QStringLiteral("1");
}

QString freshSqliteFile() {
    static std::atomic<int> counter{0};
    const QTemporaryDir& folder = scratchFolder();
    if (!folder.isValid()) {
        throw Error(
            0, QStringLiteral("Cannot create a temporary folder: %1").arg(folder.errorString()));
    }
    const QString path = folder.filePath(QStringLiteral("test-%1.db").arg(++counter));
    // An empty file is an empty SQLite database; it exists from the start so
    // that providers which only open existing files can open it too.
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        throw Error(0, QStringLiteral("Cannot create %1: %2").arg(path, file.errorString()));
    }
    return path;
}

QString sqliteOdbcString(const QString& path) {
    return QStringLiteral("Driver=SQLite3;Database=") + driverPath(path);
}

QString sqliteProviderString(const QString& path) {
    return QStringLiteral("Provider=SQLite;Data Source=") + path;
}

std::vector<TestDatabase> sqliteDatabases() {
    TestDatabase odbc{QStringLiteral("SQLite"), {}, {}, TestDatabase::Kind::SqliteOdbc, {}};
    TestDatabase native{
        QStringLiteral("SQLiteNative"), {}, {}, TestDatabase::Kind::SqliteNative, {}};
    return {freshInstance(odbc), freshInstance(native)};
}

std::vector<TestDatabase> testDatabases() {
    std::vector<TestDatabase> databases = sqliteDatabases();
    databases.push_back(server("PostgreSQL", "BRIVANO_TEST_POSTGRES"));
    databases.push_back(builtInServer("PostgreSQLNative", "BRIVANO_TEST_POSTGRES", "PostgreSQL"));
    databases.push_back(server("MariaDB", "BRIVANO_TEST_MARIADB"));
    databases.push_back(builtInServer("MariaDBNative", "BRIVANO_TEST_MARIADB", "MariaDB"));
    return databases;
}

std::vector<TestDatabase> mariadbNativeDatabases() {
    std::vector<TestDatabase> databases;
    for (const TestDatabase& database : testDatabases()) {
        if (database.name == u"MariaDBNative")
            databases.push_back(database);
    }
    return databases;
}

bool isMariaDb(const TestDatabase& database) {
    return database.name.startsWith(u"MariaDB");
}

QString mariadbProviderString(const QString& odbcString) {
    if (odbcString.isEmpty())
        return {};
    static const QRegularExpression driver(QStringLiteral("Driver\\s*=\\s*(\\{[^}]*\\}|[^;]*)"),
                                           QRegularExpression::CaseInsensitiveOption);
    QString provider = odbcString;
    provider.replace(driver, QStringLiteral("Provider=MariaDB"));
    return provider;
}

TestDatabase freshInstance(const TestDatabase& database) {
    TestDatabase fresh = database;
    if (database.kind == TestDatabase::Kind::Server) {
        return fresh;
    }
    // The built-in provider only reads: set-up goes through the driver.
    const QString file = freshSqliteFile();
    fresh.setupConnectionString = sqliteOdbcString(file);
    fresh.connectionString = database.kind == TestDatabase::Kind::SqliteNative
                                 ? sqliteProviderString(file)
                                 : sqliteOdbcString(file);
    return fresh;
}

std::unique_ptr<db::Connection> openConnection(const QString& connectionString) {
    std::unique_ptr<db::Connection> connection = db::createConnection(connectionString);
    connection->open(connectionString);
    return connection;
}

QString programOutput(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    const bool finished = process.waitForFinished(-1);
    EXPECT_TRUE(finished && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0)
        << program.toStdString() << " failed: " << process.readAllStandardError().toStdString();
    return QString::fromUtf8(process.readAllStandardOutput());
}

QString pdfText(const QString& pdf, const QStringList& options) {
    return programOutput(QStringLiteral("pdftotext"),
                         options + QStringList{pdf, QStringLiteral("-")})
        .normalized(QString::NormalizationForm_KC);
}

void PrintTo(const TestDatabase& database, std::ostream* out) {
    *out << database.name.toStdString();
}

std::string databaseTestName(const ::testing::TestParamInfo<TestDatabase>& info) {
    return info.param.name.toStdString();
}

void DatabaseTest::SetUp() {
    const TestDatabase& database = GetParam();
    if (database.connectionString.isEmpty()) {
        if (serversRequired()) {
            FAIL() << database.name.toStdString()
                   << " is required but not available: " << database.missingReason.toStdString();
        }
        GTEST_SKIP() << database.name.toStdString()
                     << " is not available: " << database.missingReason.toStdString();
    }
    database_ = freshInstance(database);
}

void DatabaseTest::TearDown() {
    for (const QString& table : tables_) {
        dropTable(table);
    }
}

void DatabaseTest::runSetup(const QStringList& statements) const {
    runStatements(database_.setupConnectionString, statements);
}

QString DatabaseTest::tableName(const QString& stem) {
    const QString name = QStringLiteral("%1_%2").arg(stem).arg(QCoreApplication::applicationPid());
    dropTable(name);
    tables_.append(name);
    return name;
}

void DatabaseTest::dropTable(const QString& name) const {
    if (database_.kind != TestDatabase::Kind::Server) {
        return;  // a fresh file per test has nothing left over
    }
    runStatements(database_.setupConnectionString,
                  {QStringLiteral("DROP TABLE IF EXISTS ") + name});
}

}  // namespace brivano::test
