// One test body for every database: connections, errors, and how a result
// is read and measured, whichever driver is behind the connection.
#include <unistd.h>

#include <QRegularExpression>
#include <functional>

#include "DataAccessFixture.h"
#include "db/LayerErrors.h"
#include "db/connect/ConnectionFactory.h"

namespace brivano::test {

void expectSingleLine(const QString& text) {
    EXPECT_FALSE(text.contains(u'\n') || text.contains(u'\r') || text.contains(u'\t'))
        << text.toStdString();
}

namespace {

TEST_P(DataAccessTest, MissingTableIsTheDatabasesOwnError) {
    auto connection = open();
    const QString missing = QStringLiteral("no_such_table_%1").arg(::getpid());
    try {
        connection->execute(QStringLiteral("Select * from ") + missing);
        FAIL() << "the query did not fail";
    } catch (const Error& error) {
        EXPECT_TRUE(error.description().contains(missing)) << error.description().toStdString();
        EXPECT_EQ(error.sqlState().size(), 5);
        expectSingleLine(error.description());
    }
    // The connection goes on as before.
    auto rs = connection->execute(QStringLiteral("Select 1 as one"));
    EXPECT_EQ(rs->field(0).value().integer, 1);
}

TEST_P(DataAccessTest, ConnectionThatCannotOpenRaisesTheDriversError) {
    QString unreachable = connectionString();
    const QString missingFile = QStringLiteral("/no/such/folder/x.db");
    switch (database().kind) {
        case TestDatabase::Kind::Server: {
            static const QRegularExpression port(QStringLiteral("Port=\\d+"),
                                                 QRegularExpression::CaseInsensitiveOption);
            unreachable.replace(port, QStringLiteral("Port=%1").arg(closedPort()));
            break;
        }
        case TestDatabase::Kind::SqliteOdbc:
            unreachable = sqliteOdbcString(missingFile);
            break;
        case TestDatabase::Kind::SqliteNative:
            unreachable = sqliteProviderString(missingFile);
            break;
    }
    auto connection = db::createConnection(unreachable);
    try {
        connection->open(unreachable);
        ADD_FAILURE() << "an unreachable database opened";
    } catch (const Error& error) {
        EXPECT_FALSE(error.sqlState().isEmpty());
        expectSingleLine(error.description());
    }
    EXPECT_FALSE(connection->isOpen());

    // Operations on the closed connection fail with the layer's own error.
    for (const auto& operation : std::initializer_list<std::function<void()>>{
             [&] { connection->execute(QStringLiteral("Select 1")); },
             [&] { connection->close(); }}) {
        try {
            operation();
            ADD_FAILURE() << "an operation on a closed connection succeeded";
        } catch (const Error& error) {
            EXPECT_EQ(error.number(), db::kObjectClosed);
            EXPECT_TRUE(error.sqlState().isEmpty());
        }
    }
}

TEST_P(DataAccessTest, ResultSetsOfAClosedConnectionFailWithTheLayersOwnError) {
    const QString table = tableName(QStringLiteral("closing"));
    runSetup({QStringLiteral("CREATE TABLE %1 (a integer, b varchar(10))").arg(table),
              QStringLiteral("INSERT INTO %1 VALUES (1, 'x')").arg(table),
              QStringLiteral("INSERT INTO %1 VALUES (2, 'y')").arg(table)});
    auto connection = open();
    auto first = connection->execute(QStringLiteral("Select * from ") + table);
    db::Field& field = first->field(0);
    connection->close();
    EXPECT_FALSE(connection->isOpen());

    for (const auto& operation : std::initializer_list<std::function<void()>>{
             [&] { first->atEnd(); }, [&] { first->moveNext(); }, [&] { first->readAllRows(); },
             [&] { field.value(); },
             [&] { connection->execute(QStringLiteral("Select * from ") + table); }}) {
        try {
            operation();
            ADD_FAILURE() << "an operation on a closed result set succeeded";
        } catch (const Error& error) {
            EXPECT_EQ(error.number(), db::kObjectClosed);
            EXPECT_TRUE(error.sqlState().isEmpty());
        }
    }

    // Reopened: old result sets stay dead, new ones work.
    connection->open(connectionString());
    EXPECT_THROW(first->field(QStringLiteral("a")), Error);
    auto second = connection->execute(QStringLiteral("Select * from ") + table);
    EXPECT_EQ(second->field(QStringLiteral("B")).value().text(), QStringLiteral("x"));
    second.reset();
    first.reset();  // destroying an old result set after reopening is harmless
    connection.reset();
}

TEST_P(DataAccessTest, ReadAllRowsGivesDimensionsAndConsumesTheResult) {
    const QString table = tableName(QStringLiteral("dimensions"));
    QStringList setup{
        QStringLiteral("CREATE TABLE %1 (a integer, b varchar(10), c integer)").arg(table)};
    for (int row = 0; row < 10; ++row) {
        setup << QStringLiteral("INSERT INTO %1 VALUES (%2, 'r%2', NULL)").arg(table).arg(row);
    }
    const QString empty = tableName(QStringLiteral("empty"));
    setup << QStringLiteral("CREATE TABLE %1 (a integer, b varchar(10))").arg(empty);
    runSetup(setup);

    auto connection = open();
    const QString query = QStringLiteral("Select * from ") + table;
    struct Case {
        int movesFirst;
        db::RowArrayBounds expected;
    };
    for (const Case& c : {Case{0, {3, 10}}, Case{1, {3, 9}}, Case{9, {3, 1}}}) {
        auto rs = connection->execute(query);
        for (int i = 0; i < c.movesFirst; ++i) {
            rs->moveNext();
        }
        const db::RowArrayBounds bounds = rs->readAllRows();
        EXPECT_EQ(bounds.columns, c.expected.columns);
        EXPECT_EQ(bounds.rows, c.expected.rows);
        EXPECT_TRUE(rs->atEnd());
        EXPECT_THROW(rs->moveNext(), Error);
    }
    auto rs = connection->execute(QStringLiteral("Select * from ") + empty);
    EXPECT_TRUE(rs->atEnd());
    EXPECT_EQ(rs->fieldCount(), 2);
    EXPECT_EQ(rs->readAllRows().rows, 0);
}

// The connection-string options that make a driver stream its result
// instead of holding all of it; empty for the built-in provider.
QString streamingOptions(const TestDatabase& database) {
    switch (database.kind) {
        case TestDatabase::Kind::SqliteOdbc:
            return QStringLiteral(";StepAPI=1");
        case TestDatabase::Kind::SqliteNative:
            return {};
        case TestDatabase::Kind::Server:
            break;
    }
    if (database.builtInProvider)
        return {};
    return database.name == u"PostgreSQL" ? QStringLiteral(";UseDeclareFetch=1;Fetch=10")
                                          : QStringLiteral(";NO_CACHE=1");
}

TEST_P(DataAccessTest, ReadAllRowsCountsWhatSteppingReads) {
    // More rows than a streaming driver fetches at a time; one table whose
    // columns can be fetched in blocks, one with a long column.
    constexpr int kRows = 25;
    const QString narrow = tableName(QStringLiteral("narrow"));
    const QString wide = tableName(QStringLiteral("wide"));
    QStringList setup{QStringLiteral("CREATE TABLE %1 (a integer, b varchar(10))").arg(narrow),
                      QStringLiteral("CREATE TABLE %1 (a integer, t %2)")
                          .arg(wide, QString::fromLatin1(dialectOf(database()).longText))};
    for (int row = 0; row < kRows; ++row) {
        setup << QStringLiteral("INSERT INTO %1 VALUES (%2, 'r%2')").arg(narrow).arg(row)
              << QStringLiteral("INSERT INTO %1 VALUES (%2, 'r%2')").arg(wide).arg(row);
    }
    runSetup(setup);

    QStringList options{QString()};
    if (const QString streaming = streamingOptions(database()); !streaming.isEmpty())
        options << streaming;
    for (const QString& option : options) {
        const QString string = connectionString() + option;
        for (const QString& table : {narrow, wide}) {
            for (const int moves : {0, 3}) {
                SCOPED_TRACE(QStringLiteral("%1 after %2 moves, options \"%3\"")
                                 .arg(table)
                                 .arg(moves)
                                 .arg(option)
                                 .toStdString());
                auto connection = openConnection(string);
                const QString query = QStringLiteral("Select * from ") + table;
                auto measured = connection->execute(query);
                for (int i = 0; i < moves; ++i)
                    measured->moveNext();
                EXPECT_EQ(measured->readAllRows().rows, kRows - moves);
                measured.reset();

                auto stepped = connection->execute(query);
                int rows = 0;
                for (; !stepped->atEnd(); stepped->moveNext())
                    ++rows;
                EXPECT_EQ(rows, kRows);
            }
        }
    }
}

TEST_P(DataAccessTest, MeasuredResultKeepsItsColumnsAndRows) {
    // Some drivers measure a query without reading its rows: what it says
    // of its columns and rows must be what reading it says.
    constexpr int kRows = 7;
    const QString table = tableName(QStringLiteral("measured"));
    QStringList setup{
        QStringLiteral("CREATE TABLE %1 (a integer NOT NULL, b varchar(10), c char(4))")
            .arg(table)};
    setup << QStringLiteral("INSERT INTO %1 VALUES (0, NULL, NULL)").arg(table);
    for (int row = 1; row < kRows; ++row) {
        setup << QStringLiteral("INSERT INTO %1 VALUES (%2, 'r%2', 'c')").arg(table).arg(row);
    }
    runSetup(setup);
    auto connection = open();
    // The trailing semicolon keeps the query from being wrapped in another.
    for (const QString& query : {QStringLiteral("Select * from ") + table,
                                 QStringLiteral("Select * from %1;").arg(table)}) {
        SCOPED_TRACE(query.toStdString());
        auto read = connection->execute(query);
        struct Shape {
            QString name;
            std::int16_t type;
            std::int32_t size;
            std::int32_t attributes;
        };
        std::vector<Shape> expected;
        for (int k = 0; k < read->fieldCount(); ++k) {
            db::Field& f = read->field(k);
            expected.push_back({f.name(), f.type(), f.definedSize(), f.attributes()});
        }
        int stepped = 0;
        for (; !read->atEnd(); read->moveNext())
            ++stepped;
        ASSERT_EQ(stepped, kRows);
        ASSERT_EQ(expected.size(), 3u);

        auto measured = connection->execute(query);
        EXPECT_FALSE(measured->atEnd());
        EXPECT_EQ(measured->fieldCount(), 3);
        const db::RowArrayBounds bounds = measured->readAllRows();
        EXPECT_EQ(bounds.columns, 3);
        EXPECT_EQ(bounds.rows, kRows);
        EXPECT_TRUE(measured->atEnd());
        EXPECT_THROW(measured->moveNext(), Error);
        // Its columns are still those of the query, with no row to read.
        for (int k = 0; k < 3; ++k) {
            db::Field& f = measured->field(k);
            const Shape& shape = expected[static_cast<size_t>(k)];
            EXPECT_EQ(f.name(), shape.name);
            EXPECT_EQ(f.type(), shape.type);
            EXPECT_EQ(f.definedSize(), shape.size);
            EXPECT_EQ(f.attributes(), shape.attributes);
        }
        EXPECT_THROW(measured->field(0).value(), Error);
        EXPECT_TRUE(measured->atEnd());
    }
}

TEST_P(DataAccessTest, RowThatCannotBeReadIsNotMeasured) {
    if (database().kind != TestDatabase::Kind::Server) {
        GTEST_SKIP() << "the SQLite files have a test of their own";
    }
    // The view's x overflows on its 20th row: measuring the view must fail
    // as reading it does, not claim rows that cannot be read.
    const QString table = tableName(QStringLiteral("computed"));
    const QString view = QStringLiteral("computed_view_%1").arg(::getpid());
    const QString dropView = QStringLiteral("DROP VIEW IF EXISTS ") + view;
    QStringList setup{dropView, QStringLiteral("CREATE TABLE %1 (a bigint)").arg(table),
                      QStringLiteral("CREATE VIEW %1 AS SELECT a, CASE WHEN a = 20 THEN "
                                     "9223372036854775807 + a ELSE a END AS x FROM %2")
                          .arg(view, table)};
    for (int row = 1; row <= 25; ++row)
        setup << QStringLiteral("INSERT INTO %1 VALUES (%2)").arg(table).arg(row);
    runSetup(setup);
    QStringList options{QString()};
    if (const QString streaming = streamingOptions(database()); !streaming.isEmpty())
        options << streaming;
    for (const QString& option : options) {
        SCOPED_TRACE(option.toStdString());
        auto connection = openConnection(connectionString() + option);
        bool failed = false;
        try {
            auto rs = connection->execute(QStringLiteral("Select * from ") + view);
            rs->readAllRows();
        } catch (const Error& error) {
            failed = true;
            EXPECT_FALSE(error.sqlState().isEmpty()) << error.description().toStdString();
        }
        EXPECT_TRUE(failed);
        // The table's own columns are still measured.
        EXPECT_EQ(connection->execute(QStringLiteral("Select * from ") + table)->readAllRows().rows,
                  25);
    }
    runSetup({dropView});
}

TEST_P(DataAccessTest, ResultReadsForwardFromItsFirstRow) {
    const QString table = tableName(QStringLiteral("forward"));
    runSetup({QStringLiteral("CREATE TABLE %1 (a integer)").arg(table),
              QStringLiteral("INSERT INTO %1 VALUES (1)").arg(table),
              QStringLiteral("INSERT INTO %1 VALUES (2)").arg(table)});
    auto connection = open();
    auto rs = connection->execute(QStringLiteral("Select a from %1 order by a").arg(table));
    rs->moveFirst();  // already there: allowed
    EXPECT_EQ(rs->field(QStringLiteral("a")).value().integer, 1);
    EXPECT_EQ(rs->field(QStringLiteral("A")).value().integer, 1);  // names ignore case
    rs->moveNext();
    EXPECT_EQ(rs->field(0).value().integer, 2);
    EXPECT_THROW(rs->moveFirst(), Error);
    // Errors of the layer itself carry its own number and no SQLSTATE.
    for (const auto& lookUp : std::initializer_list<std::function<void()>>{
             [&] { rs->field(QStringLiteral("nope")); }, [&] { rs->field(5); }}) {
        try {
            lookUp();
            ADD_FAILURE() << "a column that is not there was found";
        } catch (const Error& error) {
            EXPECT_EQ(error.number(), db::kItemNotFound);
            EXPECT_TRUE(error.sqlState().isEmpty());
        }
    }
    rs->moveNext();
    EXPECT_TRUE(rs->atEnd());
    EXPECT_THROW(rs->field(0).value(), Error);
    rs.reset();

    // Of two columns with one name, the name finds the first, in any case.
    rs = connection->execute(
        QStringLiteral("Select a * 10 as b, a, a * 100 as a from %1 order by 2").arg(table));
    EXPECT_EQ(rs->field(QStringLiteral("a")).value().integer, 1);
    EXPECT_EQ(rs->field(QStringLiteral("A")).value().integer, 1);
    EXPECT_EQ(rs->field(QStringLiteral("B")).value().integer, 10);
}

INSTANTIATE_TEST_SUITE_P(Databases, DataAccessTest, ::testing::ValuesIn(testDatabases()),
                         databaseTestName);

TEST(DataAccess, UnknownDriverRaisesTheDriverManagersError) {
    const QString unknown = QStringLiteral("Driver=NoSuchBrivanoDriver;Database=x");
    auto connection = db::createConnection(unknown);
    try {
        connection->open(unknown);
        ADD_FAILURE() << "an unknown driver opened";
    } catch (const Error& error) {
        EXPECT_FALSE(error.description().isEmpty());
        EXPECT_FALSE(error.sqlState().isEmpty());
        expectSingleLine(error.description());
    }
}

}  // namespace
}  // namespace brivano::test
