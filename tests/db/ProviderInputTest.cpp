// What the providers read from text: connection strings and the date and
// time forms that SQLite files hold.
#include <gtest/gtest.h>

#include "db/ConnectionString.h"
#include "db/IsoDateTime.h"

namespace brivano::db {
namespace {

TEST(ConnectionString, AttributesAreFoundWhateverTheirSpelling) {
    struct Case {
        const char* connectionString;
        const char* key;
        std::optional<QString> value;
    };
    const Case cases[] = {
        {"Provider=SQLite;Data Source=/tmp/a.db", "Data Source", "/tmp/a.db"},
        {" provider = SQLite ; data source = /tmp/a b.db ;", "Data Source", "/tmp/a b.db"},
        {"Provider=SQLite;Data Source=\"/tmp/x;y.db\"", "Data Source", "/tmp/x;y.db"},
        {"Provider=SQLite;Data Source='it''s.db'", "Data Source", "it's.db"},
        {"Provider=SQLite;Data Source={C:\\a;b.db}", "Data Source", "C:\\a;b.db"},
        {"Driver=SQLite3;Database=/tmp/a.db", "Data Source", std::nullopt},
        {"junk;Provider=SQLite", "provider", "SQLite"},
        {"", "Provider", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.connectionString);
        EXPECT_EQ(
            connectionAttribute(QString::fromUtf8(c.connectionString), QString::fromUtf8(c.key)),
            c.value);
    }
    EXPECT_EQ(providerKind(u"Provider=sqlite;Data Source=x"), ProviderKind::Sqlite);
    EXPECT_EQ(providerKind(u"Host=h; Provider = PostgreSQL ;Database=d"), ProviderKind::PostgreSQL);
    EXPECT_EQ(providerKind(u"Provider=mariadb;Server=h"), ProviderKind::MariaDB);
    EXPECT_EQ(providerKind(u"Driver=SQLite3;Database=x"), ProviderKind::Odbc);
    EXPECT_EQ(providerKind(u"Provider=SQLOLEDB;Data Source=x"), ProviderKind::Other);
    EXPECT_EQ(providerKind(u"Provider=Microsoft.ACE.OLEDB.12.0;Data Source=C:\\a.mdb"),
              ProviderKind::Other);
    EXPECT_EQ(providerKind(u"Provider=MSDASQL;DSN=Tavorin"), ProviderKind::Other);
    // An empty value names no provider: the string is for the driver manager.
    EXPECT_EQ(providerKind(u"Provider= ;DSN=Tavorin"), ProviderKind::Odbc);
}

TEST(IsoDateTime, TextFormsReadAsDatesAndTimes) {
    struct Case {
        const char* text;
        bool date;
        bool time;
        bool timestamp;
    };
    const Case cases[] = {
        {"2024-01-02", true, false, true},
        {"2024-01-02 03:04:05.123", true, true, true},
        {"2024-01-02T03:04", true, true, true},
        {"03:04:05", false, true, false},
        {"2024-13-02", false, false, false},
        {"24:00:00", false, false, false},
        {"2024-01-02 03:04:05+02:00", false, false, false},
        {"12345", false, false, false},
        {"", false, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(parseIsoDate(c.text).has_value(), c.date);
        EXPECT_EQ(parseIsoTime(c.text).has_value(), c.time);
        EXPECT_EQ(parseIsoTimestamp(c.text).has_value(), c.timestamp);
    }
    const auto stamp = parseIsoTimestamp("2024-01-02 03:04:05.1234567891");
    ASSERT_TRUE(stamp.has_value());
    EXPECT_EQ(stamp->second.nanosecond, 123456789u);  // kept to nanoseconds
}

}  // namespace
}  // namespace brivano::db
