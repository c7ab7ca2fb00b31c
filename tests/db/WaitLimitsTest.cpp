// The limits of a built-in provider's waits on its server, as the
// connection string gives them.
#include <gtest/gtest.h>

#include "db/NetworkWait.h"
#include "db/mariadb/MariaDbOptions.h"
#include "db/postgres/PgConnectParams.h"

namespace brivano::db {
namespace {

TEST(WaitLimits, UnattendedRunsGetLimitsWithoutAnyKey) {
    const WaitLimits limits = waitLimitsOf(u"Provider=PostgreSQL;Host=h");
    EXPECT_EQ(limits.connectSeconds, 30);
    EXPECT_EQ(limits.readSeconds, 300);
}

TEST(WaitLimits, KeysAreTakenInEitherSpellingAndAnyCase) {
    EXPECT_EQ(waitLimitsOf(u"Host=h;Connect Timeout=7").connectSeconds, 7);
    EXPECT_EQ(waitLimitsOf(u"Host=h;timeout=8").connectSeconds, 8);
    EXPECT_EQ(waitLimitsOf(u"Host=h;READ TIMEOUT=9").readSeconds, 9);
    // 0 waits as long as the server takes (a stop still ends the wait).
    EXPECT_EQ(waitLimitsOf(u"Host=h;Read Timeout=0").readSeconds, 0);
}

TEST(WaitLimits, AValueThatIsNoNumberOfSecondsIsRefusedNamingItsKey) {
    for (const char* entry :
         {"Connect Timeout=soon", "Timeout=-1", "Read Timeout=2.5", "Read Timeout=99999999999"}) {
        SCOPED_TRACE(entry);
        try {
            waitLimitsOf(QStringLiteral("Host=h;%1").arg(QString::fromLatin1(entry)));
            ADD_FAILURE() << "the value was taken";
        } catch (const Error& error) {
            const QString key = QString::fromLatin1(entry).section(u'=', 0, 0);
            EXPECT_TRUE(error.description().contains(key)) << error.description().toStdString();
        }
    }
}

TEST(WaitLimits, BothBuiltInServerProvidersTakeTheKeys) {
    const PgConnectParams postgres(u"Provider=PostgreSQL;Host=h;Timeout=4;Read Timeout=5");
    EXPECT_EQ(postgres.waitLimits().connectSeconds, 4);
    EXPECT_EQ(postgres.waitLimits().readSeconds, 5);
    EXPECT_EQ(postgres.serverName(), QStringLiteral("h:5432"));
    const MariaDbOptions mariaDb = parseMariaDbOptions(
        u"Provider=MariaDB;Server=m;Port=3307;Connect Timeout=6;Read Timeout=7");
    EXPECT_EQ(mariaDb.waitLimits.connectSeconds, 6);
    EXPECT_EQ(mariaDb.waitLimits.readSeconds, 7);
    EXPECT_EQ(mariaDb.serverName(), QStringLiteral("m:3307"));
}

TEST(WaitLimits, AStopIsToldApartFromATimeLimit) {
    EXPECT_TRUE(isStopped(stoppedError()));
    EXPECT_FALSE(isTimedOut(stoppedError()));
    EXPECT_FALSE(isStopped(Error(0, QStringLiteral("x"), QStringLiteral("HY008"))));
}

}  // namespace
}  // namespace brivano::db
