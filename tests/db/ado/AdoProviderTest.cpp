// A connection string that names a provider of ADO's goes to ADO. Under
// wine, msado15 reaches the machine's SQLite ODBC driver through MSDASQL
// and a DSN (BRIVANO_ADO_DSN, defined in the odbc.ini that ODBCINI names):
// it connects and describes fields, but its recordsets have no rows, and
// it keeps no Errors collection. So these tests hold what wine gives.
#include <gtest/gtest.h>

#include <QStringList>
#include <cstdlib>

#include "db/AdoTypes.h"
#include "db/Error.h"
#include "db/connect/ConnectionFactory.h"
#include "support/TestSupport.h"

namespace brivano::db {
namespace {

QString dsn() {
    const char* name = std::getenv("BRIVANO_ADO_DSN");
    return name != nullptr ? QString::fromLocal8Bit(name) : QString();
}

QString adoString(const QString& dataSource) {
    return QStringLiteral("Provider=MSDASQL;Data Source=") + dataSource;
}

class AdoProviderTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        if (dsn().isEmpty())
            return;
        // Written through odbc32, which may write; the provider never does.
        test::runStatements(QStringLiteral("DSN=") + dsn(),
                            {"DROP TABLE IF EXISTS Forme",
                             "CREATE TABLE Forme (Id INTEGER, Nome VARCHAR(20) NOT NULL, "
                             "Prezzo DOUBLE, Quando TIMESTAMP, Note TEXT)",
                             "INSERT INTO Forme VALUES (1, 'cubo', 2.5, '2024-01-02 03:04:05', "
                             "NULL)"});
    }

    void SetUp() override {
        ASSERT_FALSE(dsn().isEmpty()) << "BRIVANO_ADO_DSN names no data source";
        connection = createConnection(adoString(dsn()));
    }

    std::unique_ptr<Connection> connection;
};

TEST_F(AdoProviderTest, AnAdoStringConnectsAndDescribesFieldsAsAdoDoes) {
    connection->open(adoString(dsn()));
    ASSERT_TRUE(connection->isOpen());
    const std::unique_ptr<ResultSet> result = connection->execute("Select * from Forme");
    ASSERT_EQ(result->fieldCount(), 5);
    struct Described {
        QString name;
        std::int16_t type;
        std::int32_t definedSize;
        std::int32_t attributes;
    };
    // Wine's MSDASQL over the SQLite driver: text as adChar, sizes as the
    // driver's column sizes (Windows' own maps VARCHAR to adVarChar).
    constexpr std::int32_t kShort = adFldUpdatable | adFldFixed | adFldIsNullable | adFldMayBeNull;
    const Described expected[] = {
        {"Id", adInteger, 10, kShort},    {"Nome", adChar, 20, kShort},
        {"Prezzo", adDouble, 54, kShort}, {"Quando", adDBTimeStamp, 32, kShort},
        {"Note", adChar, 65536, 0xE6},
    };
    for (int position = 0; position < 5; ++position) {
        const Described& column = expected[position];
        SCOPED_TRACE(column.name.toStdString());
        Field& field = result->field(position);
        EXPECT_EQ(field.name(), column.name);
        EXPECT_EQ(field.type(), column.type);
        EXPECT_EQ(field.definedSize(), column.definedSize);
        EXPECT_EQ(field.attributes(), column.attributes);
        // By name, without regard to case, as every provider finds them.
        EXPECT_EQ(&result->field(column.name.toLower()), &field);
    }
    EXPECT_THROW(result->field(5), Error);
    EXPECT_THROW(result->field(QStringLiteral("Nessuno")), Error);
    connection->close();
    EXPECT_FALSE(connection->isOpen());
}

TEST_F(AdoProviderTest, WinesRecordsetsStandAtTheirEndAtOnce) {
    connection->open(adoString(dsn()));
    std::unique_ptr<ResultSet> result = connection->execute("Select * from Forme");
    EXPECT_TRUE(result->atEnd());
    const RowArrayBounds bounds = result->readAllRows();
    EXPECT_EQ(bounds.columns, 5);
    EXPECT_EQ(bounds.rows, 0);
    EXPECT_THROW(result->moveNext(), Error);  // no current row
    // A result that outlives its connection says so, and holds nothing.
    connection->close();
    try {
        result->atEnd();
        FAIL() << "read after close";
    } catch (const Error& error) {
        EXPECT_EQ(error.number(), 3704);
    }
}

TEST_F(AdoProviderTest, AFailingConnectIsAOneLineReportAndLeavesTheConnectionClosed) {
    const QString strings[] = {adoString(QStringLiteral("BrivanoNoSuchSource")),
                               QStringLiteral("Provider=Brivano.NoSuchProvider;Data Source=x")};
    for (const QString& text : strings) {
        SCOPED_TRACE(text.toStdString());
        const std::unique_ptr<Connection> failing = createConnection(text);
        try {
            failing->open(text);
            FAIL() << "opened";
        } catch (const Error& error) {
            EXPECT_TRUE(error.description().startsWith(u"Connection.Open non riuscita (HRESULT 0x"))
                << error.description().toStdString();
            EXPECT_NE(error.number(), 0);
            EXPECT_FALSE(error.description().contains(u'\n'));
        }
        EXPECT_FALSE(failing->isOpen());
        EXPECT_THROW(failing->execute("Select * from Forme"), Error);
    }
    // Nothing of the failures stays behind: a good string opens.
    connection->open(adoString(dsn()));
    EXPECT_TRUE(connection->isOpen());
}

TEST_F(AdoProviderTest, AQueryOnATableThatIsNotThereIsReportedAndTheConnectionGoesOn) {
    connection->open(adoString(dsn()));
    try {
        connection->execute("Select * from Brivano_Nessuna");
        FAIL() << "executed";
    } catch (const Error& error) {
        EXPECT_TRUE(error.description().startsWith(u"Recordset.Open non riuscita (HRESULT 0x"))
            << error.description().toStdString();
        EXPECT_FALSE(error.description().contains(u'\n'));
    }
    EXPECT_TRUE(connection->isOpen());
    EXPECT_EQ(connection->execute("Select * from Forme")->fieldCount(), 5);
}

TEST_F(AdoProviderTest, AnOpenConnectionRefusesASecondOpen) {
    connection->open(adoString(dsn()));
    EXPECT_THROW(connection->open(adoString(dsn())), Error);
    EXPECT_TRUE(connection->isOpen());
    connection->close();
    EXPECT_THROW(connection->close(), Error);  // closed already
}

}  // namespace
}  // namespace brivano::db
