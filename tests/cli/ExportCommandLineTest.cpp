// brivano-export's command line: its options, where the connection string
// comes from, what goes to which stream, and the window's bytes.
#include <gtest/gtest.h>

#include <sqlite3.h>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QPushButton>

#include "ExportProcess.h"
#include "MainWindowTestFixture.h"
#include "cli/ExportCommandLine.h"
#include "cli/TableName.h"
#include "db/Error.h"
#include "export/ExportHost.h"
#include "platform/ToolPaths.h"

namespace brivano::cli::test {
namespace {

const char* kTables =
    "create table Brand (Codice char(6) not null, Nome varchar(30), Prezzo numeric(8,2),"
    "  Modificato timestamp);"
    "insert into Brand values ('A-001 ', 'Vite d''acciaio', 12.50, '2026-12-07 10:15:00'),"
    "  ('A-002', 'Perché città €', null, '2026-12-01 00:00:00');"
    "create table Calendario (Giorno date, Festivo boolean);"
    "insert into Calendario values ('2026-12-08', 1), ('2026-12-09', 0);";

TEST(ExportCommandLineParsing, AcceptsShortAndLongOptionsTablesAndGroups) {
    const ExportCommandLine tables = parseExportCommandLine(
        {"-c", "Driver=X;A=1", "--output=/tmp/x", "-q", "T1", "schema.T2", "[Note spese]"});
    EXPECT_EQ(tables.connection, QStringLiteral("Driver=X;A=1"));
    EXPECT_EQ(tables.output, QStringLiteral("/tmp/x"));
    EXPECT_TRUE(tables.quiet);
    EXPECT_EQ(tables.tables, QStringList({"T1", "schema.T2", "[Note spese]"}));

    const ExportCommandLine group = parseExportCommandLine({"-g", "accessi", "-s", "conn.set"});
    EXPECT_EQ(group.tables.size(), 13);
    EXPECT_EQ(group.tables.at(8), QStringLiteral("idPassaggi"));
    EXPECT_EQ(group.settings, QStringLiteral("conn.set"));
    EXPECT_FALSE(group.connection.has_value());
    EXPECT_EQ(parseExportCommandLine({"-o", "-", "--", "T"}).output, QStringLiteral("-"));
    EXPECT_TRUE(parseExportCommandLine({"-V"}).version);
    EXPECT_TRUE(parseExportCommandLine({"--help", "T"}).help);
}

TEST(ExportCommandLineParsing, RefusesNonsenseWithOneLine) {
    const QList<QStringList> refused = {
        {},
        {"--group", "Tempi", "Brand"},
        {"--group", "Nessuno"},
        {"--connection"},
        {"--colour", "x"},
        {"-x", "T"},
        {"--output", "a", "--output", "b", "T"},
        {"--output=", "T"},
        {"--connection", "", "T"},
        {"--connection= ", "T"},
        {"-c", "x", "-s", "y", "T"},
        {" "},
        QStringList(31, QStringLiteral("T")),
        {"small where 1=0; drop table victim; --"},
    };
    for (const QStringList& arguments : refused) {
        try {
            parseExportCommandLine(arguments);
            ADD_FAILURE() << "accepted: " << arguments.join(' ').toStdString();
        } catch (const Error& error) {
            EXPECT_EQ(error.number(), kUsageError);
            EXPECT_FALSE(error.description().isEmpty());
            EXPECT_FALSE(error.description().contains(u'\n')) << error.description().toStdString();
        }
    }
}

TEST(ExportCommandLineParsing, ATableArgumentIsANameAndNothingElse) {
    for (const char* name :
         {"Dipendenti", "idPassaggi", "città", "Работники", "T_1", "$x", "payroll.Dipendenti",
          "db.dbo.T", "\"Note spese\"", "[Note spese]", "[a\"b]", "\"a]b\"", "\"schema\".[T]"}) {
        EXPECT_TRUE(isTableName(QString::fromUtf8(name))) << name;
    }
    for (const char* name : {"",
                             " ",
                             "a b",
                             "t'",
                             "t;",
                             "t--",
                             "a..b",
                             ".a",
                             "a.",
                             "a.b.c.d",
                             "\"a\"\"b\"",
                             "[a]]",
                             "[a[b]",
                             "\"\"",
                             "[]",
                             "\"a",
                             "[a",
                             "a\"b",
                             "small where 1=0; drop table victim; --",
                             "src; drop table victim2; --",
                             "t/*x*/"}) {
        EXPECT_FALSE(isTableName(QString::fromUtf8(name))) << name;
    }
}

// brivano-export over the same temporary drive as a window, whose export it
// must repeat byte for byte.
class ExportCommandLineTest : public app::test::MainWindowTest {
  protected:
    QString home() const { return drive_.path(); }
};

TEST_F(ExportCommandLineTest, AUsageErrorIsOneLineAndAHint) {
    for (const QStringList& arguments :
         {QStringList{}, QStringList{"--group", "Nessuno"}, QStringList{"--bogus"},
          QStringList{"-c", "x", "t;drop"}}) {
        const ProcessResult result = runExport(arguments, home());
        EXPECT_EQ(result.exitCode, kUsageError) << arguments.join(' ').toStdString();
        const QStringList lines = result.err.split(u'\n', Qt::SkipEmptyParts);
        ASSERT_EQ(lines.size(), 2) << result.err.toStdString();
        EXPECT_TRUE(lines[0].startsWith(QStringLiteral("brivano-export: ")));
        EXPECT_EQ(lines[1], QStringLiteral("Try 'brivano-export --help'."));
        EXPECT_TRUE(result.out.isEmpty());
    }
    // No connection string anywhere: nothing to connect to.
    const ProcessResult noSettings = runExport({"Brand"}, home());
    EXPECT_EQ(noSettings.exitCode, kUsageError);
    EXPECT_TRUE(noSettings.err.contains(QStringLiteral("Connection.set")));

    const ProcessResult version = runExport({"-V"}, home());
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out, "brivano-export " BRIVANO_VERSION "\n");
    const ProcessResult help = runExport({"--help"}, home());
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.startsWith("Usage: brivano-export")) << help.out.constData();
}

TEST_F(ExportCommandLineTest, WritesTheWindowsBytesAndItsMessagesToStandardError) {
    const QString connection = makeDatabase(QString::fromUtf8(kTables));
    writeSettings(connection);

    // The window: group Tempi, its first two boxes (Brand, Calendario).
    openWindow();
    form().command[0]->click();
    form().selTab[0]->setChecked(true);
    form().selTab[1]->setChecked(true);
    form().tabelle->click();
    const QByteArray windowBytes = fileBytes(platform::ToolPaths(home()).exportFile());
    ASSERT_FALSE(windowBytes.isEmpty());

    // The program, reading the same settings file, into another file.
    const QString output = drive_.filePath(QStringLiteral("cli.txt"));
    const ProcessResult result = runExport({"--output", output, "Brand", "Calendario"}, home());
    EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_EQ(fileBytes(output), windowBytes);
    EXPECT_TRUE(result.out.isEmpty());
    EXPECT_EQ(result.err.toStdString(),
              QStringLiteral("Export Tabella Brand...\n"
                             "Export Tabella Brand...Completato (2 Records)\n"
                             "Export Tabella Calendario...\n"
                             "Export Tabella Calendario...Completato (2 Records)\n"
                             "Esportazione Completata!\n")
                  .toStdString());
    // Without --output the window's export file is replaced, with the same bytes.
    EXPECT_EQ(runExport({"Brand", "Calendario"}, home()).exitCode, 0);
    EXPECT_EQ(fileBytes(platform::ToolPaths(home()).exportFile()), windowBytes);
    // "-" is standard output, which then carries the export and nothing else.
    const ProcessResult piped = runExport({"-o", "-", "Brand", "Calendario"}, home());
    EXPECT_EQ(piped.exitCode, 0);
    EXPECT_EQ(piped.out, windowBytes);
}

TEST_F(ExportCommandLineTest, TheConnectionStringComesFromTheFirstPlaceThatGivesOne) {
    // Four databases, each with its own table: which one was read shows
    // where the string came from.
    const auto database = [this](const QString& table) {
        const QString path = drive_.filePath(table + QStringLiteral(".db"));
        sqlite3* handle = nullptr;
        EXPECT_EQ(sqlite3_open(path.toUtf8().constData(), &handle), SQLITE_OK);
        const QByteArray sql = QStringLiteral(
                                   "create table %1 (a integer); "
                                   "insert into %1 values (1);")
                                   .arg(table)
                                   .toUtf8();
        EXPECT_EQ(sqlite3_exec(handle, sql.constData(), nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(handle);
        return QStringLiteral("Provider=SQLite;Data Source=") + path;
    };
    const QString fromOption = database(QStringLiteral("Opzione"));
    const QString fromSettingsOption = database(QStringLiteral("FileDato"));
    const QString fromEnvironment = database(QStringLiteral("Ambiente"));
    const QString fromSettingsFile = database(QStringLiteral("Impostazioni"));
    writeSettings(fromSettingsFile);
    const QString given = drive_.filePath(QStringLiteral("given.set"));
    QFile file(given);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(fromSettingsOption.toLatin1() + "\r\n");
    file.close();

    const QString output = drive_.filePath(QStringLiteral("out.txt"));
    const std::vector<std::pair<QString, QString>> environment{
        {QStringLiteral("BRIVANO_CONNECTION"), fromEnvironment}};
    const auto exported = [&](const QStringList& options, const QString& table, bool withEnv) {
        const ProcessResult result =
            runExport(options + QStringList{"-o", output, table}, home(),
                      withEnv ? environment : std::vector<std::pair<QString, QString>>{});
        EXPECT_EQ(result.exitCode, 0) << table.toStdString() << ": " << result.err.toStdString();
        return fileBytes(output).startsWith("I," + table.toLatin1() + ",0,0\r\nN,");
    };
    EXPECT_TRUE(exported({"-c", fromOption, "-q"}, QStringLiteral("Opzione"), true));
    EXPECT_TRUE(exported({"-s", given}, QStringLiteral("FileDato"), true));
    EXPECT_TRUE(exported({}, QStringLiteral("Ambiente"), true));
    EXPECT_TRUE(exported({}, QStringLiteral("Impostazioni"), false));

    const ProcessResult unreadable =
        runExport({"-s", drive_.filePath(QStringLiteral("missing.set")), "T"}, home());
    EXPECT_EQ(unreadable.exitCode, kUsageError);
    EXPECT_TRUE(unreadable.err.contains(QStringLiteral("missing.set")));
}

TEST_F(ExportCommandLineTest, ExitsOneWhenAStepFailsAndQuietShowsOnlyReportLines) {
    const QString connection = makeDatabase(QString::fromUtf8(kTables));
    const QString output = drive_.filePath(QStringLiteral("cli.txt"));
    const ProcessResult missing =
        runExport({"--connection", connection, "--output", output, "Manca", "Brand"}, home());
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_TRUE(missing.err.contains(QStringLiteral("\nManca - "))) << missing.err.toStdString();
    EXPECT_TRUE(missing.err.contains(QStringLiteral("Manca...Non esportata\n")));
    EXPECT_TRUE(missing.err.contains(QStringLiteral("Brand...Completato (2 Records)")));
    EXPECT_TRUE(missing.err.endsWith(
        QStringLiteral("Esportazione completata con errori: vedere l'elenco\n")));
    EXPECT_TRUE(fileBytes(output).startsWith("I,Brand,3,1\r\n"));

    const ProcessResult quiet =
        runExport({"-q", "-c", connection, "-o", output, "Manca", "Brand"}, home());
    EXPECT_EQ(quiet.exitCode, 1);
    const QStringList lines = quiet.err.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 1) << quiet.err.toStdString();
    EXPECT_TRUE(lines[0].startsWith(QStringLiteral("Manca - ")));
    EXPECT_TRUE(runExport({"-q", "-c", connection, "-o", output, "Brand"}, home()).err.isEmpty());

    // A folder that cannot take the file: reported, nothing read, exit 1.
    const ProcessResult unwritable = runExport(
        {"--connection", connection, "--output", drive_.filePath("no/such/folder/x.txt"), "Brand"},
        home());
    EXPECT_EQ(unwritable.exitCode, 1);
    EXPECT_FALSE(unwritable.err.contains(QStringLiteral("Export Tabella")));
    EXPECT_TRUE(
        unwritable.err.contains(QStringLiteral("Esportazione non eseguita: vedere l'elenco")));
}

}  // namespace
}  // namespace brivano::cli::test
