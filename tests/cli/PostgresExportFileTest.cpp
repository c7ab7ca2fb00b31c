// Switching a connection string from the PostgreSQL ODBC driver to the
// built-in provider must not change a byte of the export file.
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include "db/PostgresTestSupport.h"

namespace brivano::test {
namespace {

class PostgresExportFile : public PostgresTest {
  protected:
    struct Export {
        QByteArray file;
        QStringList reports;  // the report lines on standard error
        int exitCode = -1;
    };

    // What brivano-export writes for `tables`.
    Export exportOf(const QString& connectionString, const QStringList& tables) {
        const QString output = folder_.filePath(QStringLiteral("export-%1.txt").arg(++exports_));
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("HOME"), folder_.path());
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(BRIVANO_EXPORT_BINARY),
                      QStringList{QStringLiteral("--quiet"), QStringLiteral("--connection"),
                                  connectionString, QStringLiteral("--output"), output} +
                          tables);
        EXPECT_TRUE(process.waitForFinished(120000));
        Export result;
        result.exitCode = process.exitCode();
        for (const QString& line :
             QString::fromLocal8Bit(process.readAllStandardError()).split(u'\n')) {
            if (line.contains(QStringLiteral(" - ")))
                result.reports << line;
        }
        QFile file(output);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << output.toStdString();
        result.file = file.readAll();
        return result;
    }

  private:
    QTemporaryDir folder_;
    int exports_ = 0;
};

TEST_F(PostgresExportFile, IsTheSameThroughTheDriverAndTheProvider) {
    const QString every = everyTypeTable();
    const QString many = objectName(QStringLiteral("many_rows"));
    const QString view = objectName(QStringLiteral("expressions"), QStringLiteral("VIEW"));
    const QString empty = objectName(QStringLiteral("no_rows"));
    runSetup({QStringLiteral("CREATE TABLE %1 (id integer not null, code char(10), name "
                             "varchar(40), amount double precision, stamp timestamp)")
                  .arg(many),
              QStringLiteral("INSERT INTO %1 SELECT x, 'C' || lpad(x::text, 7, '0'), "
                             "'Articolo ' || x || ' di prova', x * 1.25, timestamp "
                             "'2023-11-14 22:13:20' + x * interval '37 seconds' "
                             "FROM generate_series(1, 20000) x")
                  .arg(many),
              QStringLiteral("CREATE VIEW %1 AS SELECT c1 + 1 AS expression, c23 AS text, "
                             "1.5 AS exact, c12 AS bits FROM %2")
                  .arg(view, every),
              QStringLiteral("CREATE TABLE %1 (a integer, b text)").arg(empty)});
    const QStringList tables{every, many, view, empty};
    const Export fromDriver = exportOf(odbcString(), tables);
    const Export fromProvider = exportOf(nativeString(), tables);
    EXPECT_GT(fromDriver.file.count('\n'), 20000);
    EXPECT_TRUE(fromProvider.file == fromDriver.file) << "the files differ";
    // NaN and the infinities have no place in a decimal column: both ways
    // leave those entries empty and report each the same way.
    EXPECT_EQ(fromDriver.exitCode, 1);
    EXPECT_EQ(fromProvider.exitCode, 1);
    EXPECT_EQ(fromDriver.reports.size(), 3) << fromDriver.reports.join(u'\n').toStdString();
    EXPECT_EQ(fromProvider.reports, fromDriver.reports);
}

TEST_F(PostgresExportFile, BooleansAreTheDriversTextByDefaultAndBitsWithBoolsAsCharOff) {
    const QString table = objectName(QStringLiteral("flags"));
    runSetup({QStringLiteral("CREATE TABLE %1 (f boolean, g boolean not null)").arg(table),
              QStringLiteral("INSERT INTO %1 VALUES (true, false), (NULL, true)").arg(table)});
    const QByteArray head = "I," + table.toUtf8() + ",1,1\r\nN,[f],[g]\r\n";
    const struct {
        QString setting;
        QByteArray file;
    } cases[] = {
        // The driver's default: text of five characters, "1" and "0".
        {QString(), head + "T,200,200\r\nS,5,5\r\nA,100,4\r\nD,1,0\r\nD,Null,1\r\n"},
        {QStringLiteral(";BoolsAsChar=0"),
         head + "T,11,11\r\nS,2,2\r\nA,116,20\r\nD,True,False\r\nD,Null,True\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.setting.toStdString());
        const Export fromDriver = exportOf(odbcString() + c.setting, {table});
        const Export fromProvider = exportOf(nativeString() + c.setting, {table});
        EXPECT_EQ(fromDriver.file, c.file);
        EXPECT_EQ(fromProvider.file, c.file);
        EXPECT_EQ(fromDriver.exitCode, 0);
        EXPECT_EQ(fromProvider.exitCode, 0);
    }
}

}  // namespace
}  // namespace brivano::test
