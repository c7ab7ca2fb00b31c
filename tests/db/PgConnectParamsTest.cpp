// How a "Provider=PostgreSQL;..." string becomes libpq's keywords.
#include <gtest/gtest.h>

#include <QString>

#include <map>
#include <string>

#include "db/Error.h"
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

TEST(PgConnectParams, TlsKeysReachLibpqAndUnknownKeysAreRefused) {
    using Keywords = std::map<std::string, std::string>;
    EXPECT_EQ(keywordsOf("Provider=PostgreSQL;Host=h;SSLMode=verify-full;SSLRootCert=/ca.pem;"
                         "sslcert=/c.pem;SSLKey=/k.pem"),
              (Keywords{{"host", "h"},
                        {"sslmode", "verify-full"},
                        {"sslrootcert", "/ca.pem"},
                        {"sslcert", "/c.pem"},
                        {"sslkey", "/k.pem"}}));
    // A key that would be dropped (a certificate file not checked, a typing
    // of the driver's not followed) stops the connection before it starts.
    for (const char* key : {"SSLCrl=/crl.pem", "Driver={PostgreSQL Unicode}", "MaxVarcharSize=100",
                            "TextAsLongVarchar=0", "Sslrootcrt=/typo.pem"}) {
        SCOPED_TRACE(key);
        try {
            const PgConnectParams params(QStringLiteral("Provider=PostgreSQL;Host=h;%1").arg(key));
            ADD_FAILURE() << "the key was taken";
        } catch (const Error& error) {
            const QString name = QString::fromUtf8(key).section(u'=', 0, 0);
            EXPECT_TRUE(error.description().contains(u'"' + name + u'"'))
                << error.description().toStdString();
        }
    }
    EXPECT_TRUE(PgConnectParams(u"Provider=PostgreSQL;Host=h").boolsAsChar());
    EXPECT_FALSE(PgConnectParams(u"Provider=PostgreSQL;Host=h;BoolsAsChar=0").boolsAsChar());
}

TEST(PgConnectParams, TextComesInUtf8) {
    const PgConnectParams params(u"Provider=PostgreSQL;Host=h");
    EXPECT_STREQ(params.value("client_encoding"), "UTF8");
    EXPECT_EQ(params.value("password"), nullptr);
}

}  // namespace
}  // namespace brivano::db
