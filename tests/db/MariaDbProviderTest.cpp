// The built-in MariaDB provider stands in for the MariaDB ODBC driver:
// switching a connection string from Driver= to Provider=MariaDB must not
// change a byte of the export file, so every column reads as the driver
// reads it. Dates and times that no calendar or clock has are the one
// difference: they are invalid values here.
#include <unistd.h>

#include <QFile>
#include <QTemporaryDir>
#include <span>

#include "DatabaseCases.h"
#include "db/ConnectionString.h"

namespace brivano::test {
namespace {

// Everything a reader of the table sees: each column's name, type, size and
// attributes, then each value, or the SQLSTATE of the error it raises.
QStringList readTable(db::Connection& connection, const QString& query) {
    QStringList seen;
    auto rs = connection.execute(query);
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
            QString value;
            try {
                value = describeValue(rs->field(k).value());
            } catch (const Error& error) {
                value = QStringLiteral("error %1").arg(error.sqlState());
            }
            seen << rs->field(k).name() + u'=' + value;
        }
    }
    return seen;
}

// A column of every type MariaDB has, and its values in rows 1 to 4.
struct Column {
    const char* declaration;
    const char* values;  // separated by '|'
};

std::span<const Column> everyColumnType() {
    static const Column columns[] = {
        {"c_tinyint tinyint", "-5|-128|127|0"},
        {"c_utinyint tinyint unsigned", "200|0|255|1"},
        {"c_smallint smallint", "-300|-32768|32767|0"},
        {"c_usmallint smallint unsigned", "60000|0|65535|1"},
        {"c_mediumint mediumint", "-8000000|-8388608|8388607|0"},
        {"c_umediumint mediumint unsigned", "16000000|0|16777215|1"},
        {"c_int int", "-70000|-2147483648|2147483647|0"},
        {"c_uint int unsigned", "4000000000|0|4294967295|1"},
        {"c_bigint bigint", "-9000000000|-9223372036854775808|9223372036854775807|0"},
        {"c_ubigint bigint unsigned", "18000000000000000000|0|18446744073709551615|1"},
        {"c_decimal decimal(10,2)", "12.25|-0.5|99999999.99|0"},
        {"c_decimal30 decimal(30,10)", "12345678901234567890.0123456789|-1e-10|0|1"},
        {"c_udecimal decimal(6,3) unsigned", "123.456|0|999.999|0.001"},
        {"c_float float", "1.1|-3.4e38|0.1|16777217"},
        {"c_double double", "2.25|1e-300|0.1|1.7976931348623157e308"},
        {"c_bit1 bit(1)", "b'1'|b'0'|b'1'|b'0'"},
        {"c_bit8 bit(8)", "b'10100101'|b'0'|b'11111111'|b'1'"},
        {"c_bit12 bit(12)", "b'101000000011'|b'0'|b'111111111111'|b'1'"},
        {"c_bool boolean", "true|false|true|false"},
        {"c_char char(6)", "'ab'|''|'ab  '|'Perché'"},
        {"c_char_nn char(3) not null", "'x'|''|'€'|'q'"},
        {"c_varchar varchar(30)",
         "'Perché città €'|''|'a,b\"c''d'|concat('r', char(13), char(10), 'n')"},
        {"c_tinytext tinytext", "'tiny'|''|'Perché città €'|'x'"},
        {"c_text text", "'text'|''|concat('a', char(13), char(10), 'b\"q\",c')|'è'"},
        {"c_mediumtext mediumtext", "'medium'|''|repeat('è', 300)|'x'"},
        {"c_longtext longtext", "'long'|''|repeat('€,', 5000)|'x'"},
        {"c_nchar nchar(5)", "'nç'|''|'€€€€€'|'x'"},
        {"c_nvarchar nvarchar(7)", "'nvè'|''|'città'|'x'"},
        {"c_latin1 varchar(10) character set latin1", "'latìn'|''|'àèìòù'|'x'"},
        {"c_binary binary(4)", "x'01020304'|x'00'|x''|x'ff'"},
        {"c_varbinary varbinary(8)", "x'ff00'|x''|x'00'|x'0102030405060708'"},
        {"c_tinyblob tinyblob", "x'01'|x''|x'00ff'|x'7f'"},
        {"c_blob blob", "x'0102'|x''|repeat(x'00ff', 3000)|x'7f'"},
        {"c_mediumblob mediumblob", "x'0a0b'|x''|x'00'|x'7f'"},
        {"c_longblob longblob", "x'0c'|x''|repeat(x'0d0a', 40000)|x'7f'"},
        {"c_date date", "'2024-01-02'|'1000-01-01'|'9999-12-31'|'2024-02-29'"},
        {"c_time time", "'10:11:12'|'00:00:00'|'23:59:59'|'12:00'"},
        {"c_time3 time(3)", "'10:11:12.345'|'00:00:00'|'23:59:59.999'|'01:02:03.5'"},
        {"c_datetime datetime",
         "'2024-01-02 03:04:05'|'1000-01-01 00:00:00'|'9999-12-31 23:59:59'|'2024-02-29 12:00:00'"},
        {"c_datetime6 datetime(6)",
         "'2024-01-02 03:04:05.123456'|'1000-01-01 00:00:00.000001'|'9999-12-31 "
         "23:59:59.999999'|'2024-01-02 00:00:00.5'"},
        {"c_timestamp timestamp null",
         "'2024-01-02 03:04:05'|'1970-01-02 00:00:00'|'2038-01-18 03:14:07'|'2024-02-29 12:00:00'"},
        {"c_timestamp3 timestamp(3) null",
         "'2024-01-02 03:04:05.678'|'1970-01-02 00:00:00'|'2038-01-18 00:00:00.001'|'2024-01-02 "
         "00:00:00'"},
        {"c_year year", "2024|1901|2155|0"},
        {"c_enum enum('a','bè','')", "'bè'|'a'|''|'a'"},
        {"c_set set('x','y','ç')", "'x,y'|''|'x,y,ç'|'y'"},
        {"c_json json", "'{\"a\": [1, \"è\"]}'|'null'|'[]'|'\"x\"'"},
        {"c_uuid uuid",
         "'a0eebc99-9c0b-4ef8-bb6d-6bb9bd380a11'|'00000000-0000-0000-0000-000000000000'|'ffffffff-"
         "ffff-ffff-ffff-ffffffffffff'|'123e4567-e89b-12d3-a456-426614174000'"},
    };
    return columns;
}

// The statements that make `table` with every type, four rows of values
// and a fifth of nulls.
QStringList everyTypeTable(const QString& table) {
    QStringList declarations{QStringLiteral("id int not null primary key")};
    std::vector<QStringList> rows(4);
    for (const Column& column : everyColumnType()) {
        declarations << QString::fromUtf8(column.declaration);
        const QStringList values = QString::fromUtf8(column.values).split(u'|');
        for (size_t row = 0; row < rows.size(); ++row)
            rows[row] << values[static_cast<qsizetype>(row)];
    }
    QStringList setup{
        QStringLiteral("CREATE TABLE %1 (%2)").arg(table, declarations.join(QStringLiteral(", "))),
        QStringLiteral("INSERT INTO %1 (id, c_char_nn) VALUES (5, 'n')").arg(table)};
    for (size_t row = 0; row < rows.size(); ++row) {
        setup << QStringLiteral("INSERT INTO %1 VALUES (%2, %3)")
                     .arg(table)
                     .arg(row + 1)
                     .arg(rows[row].join(QStringLiteral(", ")));
    }
    return setup;
}

class MariaDbProviderTest : public DatabaseTest {
  protected:
    const QString& odbcString() const { return database().setupConnectionString; }
};

TEST_P(MariaDbProviderTest, DescribesAndReadsEveryColumnAsTheOdbcDriverDoes) {
    const QString table = tableName(QStringLiteral("every_type"));
    runSetup(everyTypeTable(table));

    auto odbc = openConnection(odbcString());
    auto native = openConnection(connectionString());
    for (const QString& query :
         {QStringLiteral("Select * from %1 order by id").arg(table),
          // Expressions: read-only, and typed by what they compute.
          QStringLiteral("Select count(*) as n, sum(c_int) as s, avg(c_tinyint) as a, "
                         "max(c_varchar) as m, c_bit12 + 0 as b, 1.5 as d, 'x' as t, null as z, "
                         "cast(c_date as datetime) as w, x'00' as h, c_time3 + 0 as f from %1")
              .arg(table)}) {
        SCOPED_TRACE(query.toStdString());
        const QStringList fromDriver = readTable(*odbc, query);
        const QStringList fromProvider = readTable(*native, query);
        ASSERT_EQ(fromProvider.size(), fromDriver.size());
        for (qsizetype k = 0; k < fromDriver.size(); ++k)
            EXPECT_EQ(fromProvider[k].toStdString(), fromDriver[k].toStdString());
    }
}

TEST_P(MariaDbProviderTest, ViewsAndDerivedTablesDescribeTheirColumnsAsTheDriverDoes) {
    const QString table = tableName(QStringLiteral("base"));
    const QString view = QStringLiteral("base_view_%1").arg(::getpid());
    runSetup({QStringLiteral("CREATE TABLE %1 (a int not null, b varchar(5))").arg(table),
              QStringLiteral("INSERT INTO %1 VALUES (1, 'x'), (2, NULL)").arg(table),
              QStringLiteral("CREATE OR REPLACE VIEW %1 AS SELECT a, a + 1 AS e, concat(b, 'y') "
                             "AS f FROM %2")
                  .arg(view, table)});
    auto odbc = openConnection(odbcString());
    auto native = openConnection(connectionString());
    for (const QString& query : {QStringLiteral("Select * from ") + view,
                                 QStringLiteral("Select * from (select a, b from %1) t").arg(table),
                                 QStringLiteral("Select p.a as x from %1 p").arg(table)}) {
        SCOPED_TRACE(query.toStdString());
        EXPECT_EQ(readTable(*native, query), readTable(*odbc, query));
    }
    runSetup({QStringLiteral("DROP VIEW ") + view});
}

TEST_P(MariaDbProviderTest, DatesAndTimesThatNoCalendarHasAreInvalidValues) {
    struct Case {
        const char* declaration;
        const char* literal;
        const char* shown;  // as MariaDB writes it
    };
    const Case cases[] = {
        {"date", "'0000-00-00'", "0000-00-00"},
        {"date", "'2024-00-05'", "2024-00-05"},
        {"date", "'2024-03-00'", "2024-03-00"},
        {"datetime", "'0000-00-00 00:00:00'", "0000-00-00 00:00:00"},
        {"datetime(6)", "'0000-00-00 00:00:00'", "0000-00-00 00:00:00.000000"},
        {"datetime(2)", "'2024-02-00 10:00:00.5'", "2024-02-00 10:00:00.50"},
        {"timestamp null", "'0000-00-00 00:00:00'", "0000-00-00 00:00:00"},
        {"time", "'-00:00:01'", "-00:00:01"},
        {"time", "'-838:59:59'", "-838:59:59"},
        {"time", "'838:59:59'", "838:59:59"},
        {"time", "'24:00:00'", "24:00:00"},
        {"time(3)", "'-12:00:00.25'", "-12:00:00.250"},
    };
    const QString table = tableName(QStringLiteral("no_calendar"));
    QStringList setup{QStringLiteral("SET SESSION sql_mode = ''")};
    QStringList declarations{QStringLiteral("id int")};
    QStringList literals{QStringLiteral("1")};
    for (size_t k = 0; k < std::size(cases); ++k) {
        declarations << QStringLiteral("c%1 %2").arg(k).arg(
            QString::fromUtf8(cases[k].declaration));
        literals << QString::fromUtf8(cases[k].literal);
    }
    declarations << QStringLiteral("after_them varchar(5)");
    literals << QStringLiteral("'fine'");
    setup << QStringLiteral("CREATE TABLE %1 (%2)").arg(table, declarations.join(u','))
          << QStringLiteral("INSERT INTO %1 VALUES (%2)").arg(table, literals.join(u','))
          << QStringLiteral("INSERT INTO %1 (id) VALUES (2)").arg(table);
    runSetup(setup);

    auto native = openConnection(connectionString());
    auto rs = native->execute(QStringLiteral("Select * from %1 order by id").arg(table));
    for (size_t k = 0; k < std::size(cases); ++k) {
        SCOPED_TRACE(cases[k].literal);
        db::Field& field = rs->field(static_cast<int>(k) + 1);
        try {
            field.value();
            ADD_FAILURE() << "read as " << describeValue(field.value()).toStdString();
        } catch (const Error& error) {
            EXPECT_EQ(error.sqlState(), QStringLiteral("22018"));
            EXPECT_TRUE(error.description().contains(
                QStringLiteral("\"%1\"").arg(QString::fromUtf8(cases[k].shown))))
                << error.description().toStdString();
        }
    }
    // The rest of the row, and the next row, read as ever.
    EXPECT_EQ(rs->field(QStringLiteral("id")).value().integer, 1);
    EXPECT_EQ(rs->field(QStringLiteral("after_them")).value().text(), QStringLiteral("fine"));
    rs->moveNext();
    ASSERT_FALSE(rs->atEnd());
    EXPECT_EQ(rs->field(QStringLiteral("id")).value().integer, 2);
    EXPECT_TRUE(rs->field(1).isNull());
}

TEST_P(MariaDbProviderTest, ServerErrorsCarryTheDriversNumberAndSqlState) {
    auto odbc = openConnection(odbcString());
    auto native = openConnection(connectionString());
    const auto failure = [](db::Connection& connection, const QString& query) {
        try {
            connection.execute(query)->readAllRows();
        } catch (const Error& error) {
            return error;
        }
        ADD_FAILURE() << "no error for " << query.toStdString();
        return Error(0, QString());
    };
    for (const QString& query :
         {QStringLiteral("Select * from nessuna_città"), QStringLiteral("Select nessuna from dual"),
          QStringLiteral("Select * from")}) {
        SCOPED_TRACE(query.toStdString());
        const Error fromDriver = failure(*odbc, query);
        const Error fromProvider = failure(*native, query);
        EXPECT_EQ(fromProvider.number(), fromDriver.number());
        EXPECT_EQ(fromProvider.sqlState(), fromDriver.sqlState());
        // The driver puts its name and the server's version in front.
        EXPECT_TRUE(fromDriver.description().endsWith(fromProvider.description()))
            << fromProvider.description().toStdString();
    }
}

TEST_P(MariaDbProviderTest, ConnectionStringsAreReadAsTheDriverReadsThem) {
    const QString odbc = odbcString();
    const auto value = [&odbc](QStringView key) {
        return db::connectionAttribute(odbc, key).value_or(QString());
    };
    const QString server = value(u"Server");
    const QString port = value(u"Port");
    const QString database = value(u"Database");
    const QString user = value(u"Uid");
    const QString password = value(u"Pwd");
    auto probe = openConnection(connectionString());
    const QString socket =
        probe->execute(QStringLiteral("Select @@socket as s"))->field(0).value().text();
    const QString spellings[] = {
        QStringLiteral("provider=mariadb;host=$S;port=$P;database=$D;user id=$U;password=$W"),
        QStringLiteral("Provider=MariaDB;SERVER=$S;PORT=$P;DATABASE=$D;USER=$U;PWD=$W"),
        QStringLiteral("Provider=MariaDB;Server=$S;Port=$P;Database=$D;Uid=$U;Pwd=$W;NO_CACHE=1;"
                       "CHARSET=utf8mb4"),
        QStringLiteral("Provider=MariaDB;Database=$D;Uid=$U;Pwd=$W;Socket=$O"),
    };
    for (QString string : spellings) {
        if (string.contains(QStringLiteral("Socket=")) && !posixClientConventions())
            continue;  // a socket file: not how a Windows client reaches a server
        string.replace(QStringLiteral("$S"), server)
            .replace(QStringLiteral("$P"), port)
            .replace(QStringLiteral("$D"), database);
        string.replace(QStringLiteral("$U"), user)
            .replace(QStringLiteral("$W"), password)
            .replace(QStringLiteral("$O"), socket);
        SCOPED_TRACE(string.toStdString());
        auto connection = openConnection(string);
        EXPECT_EQ(
            connection->execute(QStringLiteral("Select database() as d"))->field(0).value().text(),
            database);
    }
    EXPECT_THROW(openConnection(QStringLiteral("Provider=MariaDB;Server=%1;Port=x").arg(server)),
                 Error);
    // The driver's own flags mean nothing here, and are refused, not ignored.
    EXPECT_THROW(openConnection(QStringLiteral("Driver={MariaDB Unicode};Provider=MariaDB;"
                                               "Server=%1;Option=3")
                                    .arg(server)),
                 Error);
}

TEST_P(MariaDbProviderTest, TheClientOptionFileSuppliesWhatTheStringLeavesOut) {
    if (!posixClientConventions())
        GTEST_SKIP() << "the client reads no option file under HOME here";
    const QString odbc = odbcString();
    const auto value = [&odbc](QStringView key) {
        return db::connectionAttribute(odbc, key).value_or(QString());
    };
    const QString withoutCredentials =
        QStringLiteral("Provider=MariaDB;Server=%1;Port=%2;Database=%3")
            .arg(value(u"Server"), value(u"Port"), value(u"Database"));
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    const QByteArray previous = qgetenv("HOME");
    qputenv("HOME", home.path().toUtf8());
    EXPECT_THROW(openConnection(withoutCredentials), Error);
    QFile file(home.filePath(QStringLiteral(".my.cnf")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QStringLiteral("[client]\nuser=%1\npassword=%2\n")
                   .arg(value(u"Uid"), value(u"Pwd"))
                   .toUtf8());
    file.close();
    try {
        auto connection = openConnection(withoutCredentials);
        EXPECT_EQ(connection->execute(QStringLiteral("Select 1 as one"))->field(0).value().integer,
                  1);
    } catch (const Error& error) {
        ADD_FAILURE() << error.description().toStdString();
    }
    qputenv("HOME", previous);
}

INSTANTIATE_TEST_SUITE_P(MariaDB, MariaDbProviderTest,
                         ::testing::ValuesIn(mariadbNativeDatabases()), databaseTestName);

}  // namespace
}  // namespace brivano::test
