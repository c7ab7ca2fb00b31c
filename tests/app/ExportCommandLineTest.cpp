#include <QCheckBox>
#include <QFile>
#include <QProcess>
#include <QPushButton>

#include "MainWindowTestFixture.h"
#include "app/cli/ExportCommandLine.h"
#include "db/Error.h"

namespace brivano::app::test {
namespace {

struct ProcessResult {
    int exitCode = -1;
    QString out;
    QString err;
};

// Runs brivano-export with a home folder of the test's own, so that the
// settings file and the default export file are the test's.
// It inherits the test's locale, so both sides write the same text forms.
ProcessResult runExport(const QStringList& arguments, const QString& home) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HOME"), home);
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(BRIVANO_EXPORT_BINARY), arguments);
    EXPECT_TRUE(process.waitForFinished(60000));
    return {process.exitCode(), QString::fromLocal8Bit(process.readAllStandardOutput()),
            QString::fromLocal8Bit(process.readAllStandardError())};
}

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

const char* kTables =
    "create table Brand (Codice char(6) not null, Nome varchar(30), Prezzo numeric(8,2),"
    "  Modificato timestamp);"
    "insert into Brand values ('A-001 ', 'Vite d''acciaio', 12.50, '2026-12-07 10:15:00'),"
    "  ('A-002', 'Perché città €', null, '2026-12-01 00:00:00');"
    "create table Calendario (Giorno date, Festivo boolean);"
    "insert into Calendario values ('2026-12-08', 1), ('2026-12-09', 0);";

TEST(ExportCommandLineParsing, AcceptsTablesGroupsAndOptionsAndRefusesNonsense) {
    const ExportCommandLine tables =
        parseExportCommandLine({"--connection=Driver=X;A=1", "--output", "/tmp/x", "T1", "T2"});
    EXPECT_EQ(tables.connection, QStringLiteral("Driver=X;A=1"));
    EXPECT_EQ(tables.output, QStringLiteral("/tmp/x"));
    EXPECT_EQ(tables.tables, QStringList({"T1", "T2"}));

    const ExportCommandLine group = parseExportCommandLine({"--group", "accessi"});
    EXPECT_EQ(group.tables.size(), 13);
    EXPECT_EQ(group.tables.at(8), QStringLiteral("idPassaggi"));
    EXPECT_FALSE(group.connection.has_value());
    EXPECT_EQ(parseExportCommandLine({"--", "--odd-name"}).tables, QStringList{"--odd-name"});

    const QList<QStringList> refused = {
        {},
        {"--group", "Tempi", "Brand"},
        {"--group", "Nessuno"},
        {"--connection"},
        {"--colour", "x"},
        {"--output", "a", "--output", "b", "T"},
        {"--output=", "T"},
        {" "},
        QStringList(31, QStringLiteral("T")),
    };
    for (const QStringList& arguments : refused) {
        try {
            parseExportCommandLine(arguments);
            ADD_FAILURE() << "accepted: " << arguments.join(' ').toStdString();
        } catch (const Error& error) {
            EXPECT_EQ(error.number(), kUsageError);
            EXPECT_FALSE(error.description().isEmpty());
        }
    }
}

TEST_F(MainWindowTest, CommandLineExitsTwoOnUsageErrorsWithAReason) {
    for (const QStringList& arguments :
         {QStringList{}, QStringList{"--group", "Nessuno"}, QStringList{"--bogus"}}) {
        const ProcessResult result = runExport(arguments, drive_.path());
        EXPECT_EQ(result.exitCode, kUsageError) << arguments.join(' ').toStdString();
        EXPECT_TRUE(result.err.startsWith(QStringLiteral("brivano-export: ")))
            << result.err.toStdString();
        EXPECT_TRUE(result.out.isEmpty());
    }
    // No --connection and no settings file: nothing to connect to.
    const ProcessResult noSettings = runExport({"Brand"}, drive_.path());
    EXPECT_EQ(noSettings.exitCode, kUsageError);
    EXPECT_TRUE(noSettings.err.contains(QStringLiteral("Connection.set")));
}

TEST_F(MainWindowTest, CommandLineWritesTheWindowsBytesAndExitsZero) {
    const QString connection = makeDatabase(QString::fromLatin1(kTables));
    writeSettings(connection);

    // The window: group Tempi, its first two boxes (Brand, Calendario).
    openWindow();
    form().command[0]->click();
    form().selTab[0]->setChecked(true);
    form().selTab[1]->setChecked(true);
    form().tabelle->click();
    const QByteArray windowBytes = fileBytes(db::ToolPaths(drive_.path()).exportFile());
    ASSERT_FALSE(windowBytes.isEmpty());

    // The program, reading the same settings file, into another file.
    const QString output = drive_.filePath(QStringLiteral("cli.txt"));
    const ProcessResult result =
        runExport({"--output", output, "Brand", "Calendario"}, drive_.path());
    EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_EQ(fileBytes(output), windowBytes);
    EXPECT_EQ(result.out, QStringLiteral("Export Tabella Brand...\n"
                                         "Export Tabella Brand...Completato (2 Records)\n"
                                         "Export Tabella Calendario...\n"
                                         "Export Tabella Calendario...Completato (2 Records)\n"
                                         "Esportazione Completata!\n"));
    // Without --output the window's export file is replaced, with the same bytes.
    EXPECT_EQ(runExport({"Brand", "Calendario"}, drive_.path()).exitCode, 0);
    EXPECT_EQ(fileBytes(db::ToolPaths(drive_.path()).exportFile()), windowBytes);
}

TEST_F(MainWindowTest, CommandLineExitsOneWhenAStepFailsAndKeepsGoing) {
    const QString connection = makeDatabase(QString::fromLatin1(kTables));
    const QString output = drive_.filePath(QStringLiteral("cli.txt"));
    const ProcessResult missing = runExport(
        {"--connection", connection, "--output", output, "Manca", "Brand"}, drive_.path());
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_TRUE(missing.out.contains(QStringLiteral("\nManca - "))) << missing.out.toStdString();
    EXPECT_TRUE(missing.out.contains(QStringLiteral("Brand...Completato (2 Records)")));
    EXPECT_TRUE(fileBytes(output).startsWith("I,Brand,3,1\r\n"));

    // A folder that cannot take the file: reported, and exit 1.
    const ProcessResult unwritable = runExport(
        {"--connection", connection, "--output", drive_.filePath("no/such/folder/x.txt"), "Brand"},
        drive_.path());
    EXPECT_EQ(unwritable.exitCode, 1);
    EXPECT_TRUE(unwritable.out.contains(QStringLiteral("Esportazione Completata!")));
}

}  // namespace
}  // namespace brivano::app::test
