// How a "Provider=PostgreSQL;..." string becomes libpq's keywords.
#include <gtest/gtest.h>

#include <QString>

#include <map>
#include <string>

#include "db/postgres/PgConnectParams.h"

namespace brivano::db {
namespace {

std::map<std::string, std::string> keywordsOf(const char* connectionString) {
    const PgConnectParams params(QString::fromUtf8(connectionString));
    std::map<std::string, std::string> found;
    for (int k = 0; params.keywords()[k] != nullptr; ++k)
        found[params.keywords()[k]] = params.values()[k];
    found.erase("client_encoding");
    found.erase("fallback_application_name");
    return found;
}

TEST(PgConnectParams, KeysOfEitherSpellingBecomeLibpqKeywords) {
    using Keywords = std::map<std::string, std::string>;
    struct Case {
        const char* connectionString;
        Keywords expected;
    };
    const Case cases[] = {
        {"Provider=PostgreSQL;Host=db;Port=5433;Database=sales;User ID=ann;Password=p;w",
         {{"host", "db"},
          {"port", "5433"},
          {"dbname", "sales"},
          {"user", "ann"},
          {"password", "p"}}},
        // The ODBC driver's string with one keyword changed; Driver-only
        // keys are ignored.
        {"Provider=PostgreSQL;Server=127.0.0.1;Port=5432;Database=d;Uid=u;Pwd={a;b};"
         "UseDeclareFetch=1",
         {{"host", "127.0.0.1"},
          {"port", "5432"},
          {"dbname", "d"},
          {"user", "u"},
          {"password", "a;b"}}},
        {"provider=postgresql;SERVER=h;UID=u;PWD=x",
         {{"host", "h"}, {"user", "u"}, {"password", "x"}}},
        // No password: libpq looks for one itself.
        {"Provider=PostgreSQL;Service=accounts", {{"service", "accounts"}}},
        {"Provider=PostgreSQL;Host=h;Password=;SSLMode=require",
         {{"host", "h"}, {"sslmode", "require"}}},
        // A value is passed as it is, never spliced into a conninfo string.
        {"Provider=PostgreSQL;Database='x dbname=postgres'", {{"dbname", "x dbname=postgres"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.connectionString);
        EXPECT_EQ(keywordsOf(c.connectionString), c.expected);
    }
}

TEST(PgConnectParams, TextComesInUtf8) {
    const PgConnectParams params(u"Provider=PostgreSQL;Host=h");
    EXPECT_STREQ(params.value("client_encoding"), "UTF8");
    EXPECT_EQ(params.value("password"), nullptr);
}

}  // namespace
}  // namespace brivano::db
