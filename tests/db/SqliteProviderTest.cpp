// The built-in SQLite provider stands in for the SQLite ODBC driver: it must
// describe and read a file as that driver does, and only ever read it.
#include <sqlite3.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "DatabaseCases.h"
#include "db/ConnectionString.h"

namespace brivano::test {
namespace {

// The path of the file behind a SQLite test database.
QString sqliteFilePath(const TestDatabase& database) {
    return db::connectionAttribute(database.setupConnectionString, u"Database").value_or(QString());
}

// Everything a reader of the table sees: each column's name, type, size and
// attributes, then each value, or the SQLSTATE of the error it raises.
std::string readTable(db::Connection& connection, const QString& table) {
    QStringList seen;
    auto rs = connection.execute(QStringLiteral("Select * from ") + table);
    const int count = rs->fieldCount();
    for (int k = 0; k < count; ++k) {
        db::Field& field = rs->field(k);
        seen << QStringLiteral("%1 %2 %3 %4")
                    .arg(field.name())
                    .arg(field.type())
                    .arg(field.definedSize())
                    .arg(field.attributes());
    }
    for (; !rs->atEnd(); rs->moveNext()) {
        for (int k = 0; k < count; ++k) {
            try {
                seen << describeValue(rs->field(k).value());
            } catch (const Error& error) {
                seen << QStringLiteral("error %1").arg(error.sqlState());
            }
        }
    }
    return seen.join(u'\n').toStdString();
}

TEST(SqliteProvider, DescribesAndReadsEveryColumnAsTheOdbcDriverDoes) {
    struct Case {
        const char* declaration;
        const char* values;  // the rows, as SQL
    };
    const Case cases[] = {
        {"numeric(10,2)",
         "(12.25), (7), (-0.5), (0.1 * 3), (123456789.123456789), (1e20), ('1,5')"},
        {"decimal", "(2.5), ('12.3400'), (NULL)"},
        {"double", "(0.1 * 3), (1e300), (-2), ('x1')"},
        {"integer", "(5), (2.5), ('abc'), (9223372036854775807), (-9223372036854775808)"},
        {"boolean", "(1), (0), (2), ('yes')"},
        {"int unsigned", "(7), (4000000000)"},
        {"varchar(5)", "('x'), (1.5), (42), ('Perché città €')"},
        {"varchar", "('no size')"},
        {"text", "('long'), (x'41'), (x'00ff'), (x'')"},
        {"char(3)", "('abcdef'), ('a')"},
        {"nchar(2)", "('è')"},
        {"blob", "(x'00ff'), ('text in a blob')"},
        {"datetime", "('2024-01-02 03:04:05.123'), ('2024-01-02'), ('bad'), (45000.5)"},
        {"date", "('2024-01-02'), ('2024-01-02 10:00:00'), (12345)"},
        {"time", "('10:11:12'), ('10:11')"},
        {"money", "('12 EUR'), (3)"},
    };
    const QString file = freshSqliteFile();
    QStringList setup;
    for (size_t k = 0; k < std::size(cases); ++k) {
        setup << QStringLiteral("CREATE TABLE t%1 (c %2)")
                     .arg(k)
                     .arg(QString::fromLatin1(cases[k].declaration))
              << QStringLiteral("INSERT INTO t%1 VALUES %2")
                     .arg(k)
                     .arg(QString::fromUtf8(cases[k].values));
    }
    // Columns without a declared type take the type of their first value.
    setup << QStringLiteral(
        "CREATE VIEW expressions AS SELECT 1 AS i, 1.5 AS r, 'x' AS s, "
        "x'01' AS b, NULL AS n, c AS copied FROM t0");
    setup << QStringLiteral("CREATE TABLE untyped (a, b)")
          << QStringLiteral("INSERT INTO untyped VALUES (1, 'x'), ('y', 2.5), (NULL, NULL)");
    runStatements(sqliteOdbcString(file), setup);

    auto odbc = openConnection(sqliteOdbcString(file));
    auto native = openConnection(sqliteProviderString(file));
    QStringList tables{QStringLiteral("expressions"), QStringLiteral("untyped")};
    for (size_t k = 0; k < std::size(cases); ++k)
        tables << QStringLiteral("t%1").arg(k);
    for (const QString& table : tables) {
        SCOPED_TRACE(table.toStdString());
        EXPECT_EQ(readTable(*native, table), readTable(*odbc, table));
    }

    // The same report for a table that is not there.
    const auto missingTableError = [](db::Connection& connection) {
        try {
            connection.execute(QStringLiteral("Select * from nessuna"));
        } catch (const Error& error) {
            return error;
        }
        ADD_FAILURE() << "a missing table was found";
        return Error(0, QString());
    };
    const Error fromDriver = missingTableError(*odbc);
    const Error fromProvider = missingTableError(*native);
    EXPECT_EQ(fromProvider.number(), fromDriver.number());
    EXPECT_EQ(fromProvider.sqlState(), fromDriver.sqlState());
    EXPECT_EQ(fromProvider.description(), fromDriver.description());
}

TEST(SqliteProvider, OpensTheFileReadOnlyAndNeverCreatesOne) {
    const QString file = freshSqliteFile();
    runStatements(sqliteOdbcString(file), {QStringLiteral("CREATE TABLE t (a integer)"),
                                           QStringLiteral("INSERT INTO t VALUES (1)")});
    auto connection = openConnection(sqliteProviderString(file));
    EXPECT_THROW(connection->execute(QStringLiteral("INSERT INTO t VALUES (2)")), Error);
    EXPECT_THROW(connection->execute(QStringLiteral("DROP TABLE t")), Error);
    EXPECT_EQ(connection->execute(QStringLiteral("Select * from t"))->readAllRows().rows, 1);
    connection->close();

    // A missing file in a folder that exists is an error, not a new database.
    const QString missing = QFileInfo(file).dir().filePath(QStringLiteral("missing.db"));
    EXPECT_THROW(connection->open(sqliteProviderString(missing)), Error);
    EXPECT_FALSE(QFile::exists(missing));
}

// Both ways of reading a SQLite file.
class SqliteFileTest : public DatabaseTest {};

TEST_P(SqliteFileTest, ClosingTheConnectionLetsWritersIn) {
    runSetup({QStringLiteral("CREATE TABLE t (a integer)"),
              QStringLiteral("INSERT INTO t VALUES (1), (2), (3)")});
    auto connection = openConnection(connectionString());
    // Standing on its first row, the result is in the middle of reading.
    auto rs = connection->execute(QStringLiteral("Select * from t"));
    ASSERT_FALSE(rs->atEnd());
    connection->close();

    // The result set is still there, but the file is no longer read: a
    // writer that waits for nobody gets in.
    sqlite3* writer = nullptr;
    ASSERT_EQ(sqlite3_open(sqliteFilePath(database()).toUtf8().constData(), &writer), SQLITE_OK);
    char* message = nullptr;
    EXPECT_EQ(sqlite3_exec(writer, "INSERT INTO t VALUES (4)", nullptr, nullptr, &message),
              SQLITE_OK)
        << (message != nullptr ? message : "");
    sqlite3_free(message);
    sqlite3_close(writer);
    EXPECT_THROW(rs->moveNext(), Error);
}

TEST_P(SqliteFileTest, ARowThatCannotBeReadCannotBeCounted) {
    // The view's x fails on its 20th row (integer overflow), when SQLite
    // computes it; a count that skips computing it would claim 25 rows.
    QStringList setup{QStringLiteral("CREATE TABLE t (a integer)"),
                      QStringLiteral("CREATE VIEW v AS SELECT a, CASE WHEN a = 20 THEN "
                                     "abs(-9223372036854775807 - 1) ELSE a END AS x FROM t")};
    for (int row = 1; row <= 25; ++row)
        setup << QStringLiteral("INSERT INTO t VALUES (%1)").arg(row);
    runSetup(setup);
    // The driver computes rows as they are fetched only when told to.
    const QString stepping = database().kind == TestDatabase::Kind::SqliteOdbc
                                 ? QStringLiteral(";StepAPI=1")
                                 : QString();
    auto connection = openConnection(connectionString() + stepping);

    auto rs = connection->execute(QStringLiteral("Select * from v"));
    EXPECT_THROW(rs->readAllRows(), Error);
    // Like a failed move, a failed count leaves no row to stand on.
    EXPECT_TRUE(rs->atEnd());
    EXPECT_THROW(rs->moveNext(), Error);

    // A table's stored columns are still counted.
    EXPECT_EQ(connection->execute(QStringLiteral("Select * from t"))->readAllRows().rows, 25);
}

INSTANTIATE_TEST_SUITE_P(Sqlite, SqliteFileTest, ::testing::ValuesIn(sqliteDatabases()),
                         databaseTestName);

}  // namespace
}  // namespace brivano::test
