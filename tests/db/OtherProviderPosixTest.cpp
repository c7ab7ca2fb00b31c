// A string that names a provider of Windows' own data-access layer, on a
// system without it: it goes to the ODBC driver manager, as it always has,
// which says plainly that it knows no such source.
#include <gtest/gtest.h>

#include "db/Error.h"
#include "db/connect/ConnectionFactory.h"

namespace brivano::db {
namespace {

TEST(OtherProviderOnLinux, AWindowsProviderStringFailsWithTheDriverManagersReport) {
    const QString strings[] = {
        QStringLiteral("Provider=SQLOLEDB;Data Source=SRV;Initial Catalog=Tavorin;User ID=u;"
                       "Password=p"),
        QStringLiteral("Provider=Microsoft.ACE.OLEDB.12.0;Data Source=C:\\Dati\\Tavorin.mdb"),
    };
    for (const QString& text : strings) {
        SCOPED_TRACE(text.toStdString());
        const std::unique_ptr<Connection> connection = createConnection(text);
        try {
            connection->open(text);
            FAIL() << "opened";
        } catch (const Error& error) {
            EXPECT_EQ(error.sqlState(), QStringLiteral("IM002"));
            EXPECT_TRUE(error.description().contains(u"Data source name not found"))
                << error.description().toStdString();
            EXPECT_FALSE(error.description().contains(u'\n'));
        }
        EXPECT_FALSE(connection->isOpen());
    }
}

}  // namespace
}  // namespace brivano::db
