// What the built-in MariaDB provider makes of its input without a server:
// connection strings, the server's column descriptions, and dates and
// times as the client library hands them over.
#include <gtest/gtest.h>

#include "db/mariadb/MariaDbColumn.h"
#include "db/mariadb/MariaDbOptions.h"
#include "db/mariadb/MariaDbValueReader.h"

namespace brivano::db {
namespace {

TEST(MariaDbOptions, KeysAreReadInAnySpellingAndOthersAreRefused) {
    struct Case {
        const char* connectionString;
        const char* host;
        unsigned int port;
        const char* socket;
        const char* database;
        const char* user;      // nullptr: not given
        const char* password;  // nullptr: not given
    };
    const Case cases[] = {
        {"Provider=MariaDB;Server=db.local;Port=3307;Database=paghe;Uid=ana;Pwd=s3;cret",
         "db.local", 3307, "", "paghe", "ana", "s3"},
        {"provider=mariadb;HOST=h;user id=u;password={a;b}", "h", 0, "", "", "u", "a;b"},
        {"Provider=MariaDB;Server=h;User=u;Pwd=;NO_CACHE=1;CHARSET=utf8", "h", 0, "", "", "u", ""},
        {"Provider=MariaDB;Socket=/run/mysqld/mysqld.sock;Database=d", "", 0,
         "/run/mysqld/mysqld.sock", "d", nullptr, nullptr},
        {"Provider=MariaDB;Server=h;Port= 3306 ;Database=città", "h", 3306, "", "città", nullptr,
         nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.connectionString);
        const MariaDbOptions options = parseMariaDbOptions(QString::fromUtf8(c.connectionString));
        EXPECT_EQ(options.host, QByteArray(c.host));
        EXPECT_EQ(options.port, c.port);
        EXPECT_EQ(options.socket, QByteArray(c.socket));
        EXPECT_EQ(options.database, QByteArray(c.database));
        EXPECT_EQ(options.user, c.user ? std::optional<QByteArray>(c.user) : std::nullopt);
        EXPECT_EQ(options.password,
                  c.password ? std::optional<QByteArray>(c.password) : std::nullopt);
    }
    for (const char* port : {"x", "0", "70000", "-1"}) {
        SCOPED_TRACE(port);
        EXPECT_THROW(parseMariaDbOptions(QStringLiteral("Provider=MariaDB;Port=%1").arg(port)),
                     Error);
    }
    // A setting the provider would not keep is never ignored in silence.
    for (const char* key : {"Driver={MariaDB Unicode}", "Option=3", "SslCrl=x", "SslVerify=yes"}) {
        SCOPED_TRACE(key);
        try {
            parseMariaDbOptions(QStringLiteral("Provider=MariaDB;Server=h;%1").arg(key));
            ADD_FAILURE() << "the key was taken";
        } catch (const Error& error) {
            const QString name = QString::fromUtf8(key).section(u'=', 0, 0);
            EXPECT_TRUE(error.description().contains(name)) << error.description().toStdString();
        }
    }
    const MariaDbOptions tls = parseMariaDbOptions(
        u"Provider=MariaDB;Server=h;SSLCA=/ca.pem;SslCert=/c.pem;sslkey=/k.pem;SslVerify=1");
    EXPECT_EQ(tls.sslCa, QByteArray("/ca.pem"));
    EXPECT_EQ(tls.sslCert, QByteArray("/c.pem"));
    EXPECT_EQ(tls.sslKey, QByteArray("/k.pem"));
    EXPECT_TRUE(tls.sslVerify);
}

// A column as the server describes it; utf8mb4 text unless told.
MYSQL_FIELD field(enum_field_types type, unsigned long length, unsigned int flags = 0,
                  unsigned int charset = 45, bool inTable = true) {
    MYSQL_FIELD described{};
    described.name = const_cast<char*>("c");
    described.name_length = 1;
    described.type = type;
    described.length = length;
    described.flags = flags;
    described.charsetnr = charset;
    described.table_length = inTable ? 1 : 0;
    described.db_length = inTable ? 1 : 0;
    described.org_name_length = inTable ? 1 : 0;
    return described;
}

TEST(MariaDbColumn, ServerTypesMapAsTheOdbcDriverMapsThem) {
    constexpr unsigned int kBinary = 63;
    struct Case {
        const char* what;
        MYSQL_FIELD described;
        std::int16_t type;
        std::int32_t size;
        std::int32_t attributes;
    };
    const Case cases[] = {
        {"int not null", field(MYSQL_TYPE_LONG, 11, NOT_NULL_FLAG, kBinary), 3, 4, 0x18},
        {"tinyint unsigned", field(MYSQL_TYPE_TINY, 3, UNSIGNED_FLAG, kBinary), 17, 1, 0x78},
        {"tinyint(1)", field(MYSQL_TYPE_TINY, 1, 0, kBinary), 16, 1, 0x78},
        {"mediumint", field(MYSQL_TYPE_INT24, 9, 0, kBinary), 3, 4, 0x78},
        {"year", field(MYSQL_TYPE_YEAR, 4, UNSIGNED_FLAG, kBinary), 18, 2, 0x78},
        {"bigint unsigned", field(MYSQL_TYPE_LONGLONG, 20, UNSIGNED_FLAG, kBinary), 21, 8, 0x78},
        {"decimal(30,10)", field(MYSQL_TYPE_NEWDECIMAL, 32, 0, kBinary), 131, 19, 0x78},
        {"bit(1)", field(MYSQL_TYPE_BIT, 1, 0, kBinary), 11, 2, 0x78},
        {"bit(12)", field(MYSQL_TYPE_BIT, 12, 0, kBinary), 128, 12, 0x78},
        {"char(6)", field(MYSQL_TYPE_STRING, 24), 130, 6, 0x78},
        {"varchar(30)", field(MYSQL_TYPE_VAR_STRING, 120), 202, 30, 0x68},
        {"enum", field(MYSQL_TYPE_STRING, 8, ENUM_FLAG), 130, 2, 0x78},
        {"text", field(MYSQL_TYPE_BLOB, 262140, BLOB_FLAG), 203, 65535, 0xe8},
        {"longtext, json", field(MYSQL_TYPE_BLOB, 4294967295, BLOB_FLAG), 203, 1073741823, 0xe8},
        {"binary(4)", field(MYSQL_TYPE_STRING, 4, BINARY_FLAG, kBinary), 128, 4, 0x78},
        {"varbinary(8)", field(MYSQL_TYPE_VAR_STRING, 8, BINARY_FLAG, kBinary), 204, 8, 0x68},
        {"longblob", field(MYSQL_TYPE_BLOB, 4294967295, BLOB_FLAG, kBinary), 205, 2147483647, 0xe8},
        {"time", field(MYSQL_TYPE_TIME, 10, 0, kBinary), 134, 6, 0x78},
        {"timestamp", field(MYSQL_TYPE_TIMESTAMP, 19, 0, kBinary), 135, 16, 0x78},
        {"uuid", field(MYSQL_TYPE_STRING, 144), 130, 36, 0x78},
        {"'x', an expression", field(MYSQL_TYPE_VAR_STRING, 4, NOT_NULL_FLAG, 45, false), 202, 1,
         0x0},
        {"null, an expression", field(MYSQL_TYPE_NULL, 0, 0, kBinary, false), 202, 0, 0x60},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const MariaDbColumn column = describeMariaDbColumn(c.described);
        EXPECT_EQ(column.shape.type, c.type);
        EXPECT_EQ(column.shape.definedSize, c.size);
        EXPECT_EQ(column.shape.attributes, c.attributes);
    }
}

MYSQL_TIME temporal(unsigned int year, unsigned int month, unsigned int day, unsigned int hour,
                    unsigned long microseconds = 0, bool negative = false) {
    MYSQL_TIME time{};
    time.year = year;
    time.month = month;
    time.day = day;
    time.hour = hour;
    time.second_part = microseconds;
    time.neg = negative;
    return time;
}

TEST(MariaDbTemporal, OnlyRealDaysAndTimesOfDayAreValues) {
    struct Case {
        MYSQL_TIME time;
        enum_field_types type;
        unsigned int decimals;
        bool valid;
        const char* text;
    };
    const Case cases[] = {
        {temporal(2024, 2, 29, 0), MYSQL_TYPE_DATE, 0, true, "2024-02-29"},
        {temporal(2023, 2, 29, 0), MYSQL_TYPE_DATE, 0, false, "2023-02-29"},
        {temporal(0, 0, 0, 0), MYSQL_TYPE_DATE, 0, false, "0000-00-00"},
        {temporal(0, 1, 1, 0), MYSQL_TYPE_DATE, 0, true, "0000-01-01"},
        {temporal(2024, 0, 5, 0), MYSQL_TYPE_DATE, 0, false, "2024-00-05"},
        {temporal(0, 0, 0, 0), MYSQL_TYPE_DATETIME, 6, false, "0000-00-00 00:00:00.000000"},
        {temporal(2024, 2, 0, 10, 500000), MYSQL_TYPE_DATETIME, 2, false, "2024-02-00 10:00:00.50"},
        {temporal(0, 0, 0, 23), MYSQL_TYPE_TIME, 0, true, "23:00:00"},
        {temporal(0, 0, 0, 24), MYSQL_TYPE_TIME, 0, false, "24:00:00"},
        {temporal(0, 0, 0, 838), MYSQL_TYPE_TIME, 0, false, "838:00:00"},
        {temporal(0, 0, 0, 12, 250000, true), MYSQL_TYPE_TIME, 3, false, "-12:00:00.250"},
        {temporal(0, 0, 0, 1, 5, false), MYSQL_TYPE_TIME, 31, true, "01:00:00.000005"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const bool valid = c.type == MYSQL_TYPE_TIME ? isTimeOfDay(c.time) : isCalendarDay(c.time);
        EXPECT_EQ(valid, c.valid);
        EXPECT_EQ(mariaDbTemporalText(c.time, c.type, c.decimals), QByteArray(c.text));
    }
}

}  // namespace
}  // namespace brivano::db
