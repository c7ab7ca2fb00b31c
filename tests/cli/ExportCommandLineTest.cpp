#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <climits>
#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

#include "MainWindowTestFixture.h"
#include "cli/ConsoleExportHost.h"
#include "cli/ExportCommandLine.h"
#include "db/Error.h"
#include "export/ExportRun.h"

extern char** environ;

namespace brivano::cli::test {
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

// brivano-export with its standard output in a pipe that the test reads
// only as far as it chooses: once the pipe is full the program waits, still
// in the middle of its export, for as long as the test wants.
class PausedExport {
  public:
    PausedExport(const QStringList& arguments, const QString& errorFile) {
        int fds[2];
        if (::pipe2(fds, O_CLOEXEC) != 0) {
            ADD_FAILURE() << "pipe2 failed";
            return;
        }
        out_ = fds[0];
        std::vector<std::string> words{BRIVANO_EXPORT_BINARY};
        for (const QString& argument : arguments)
            words.push_back(argument.toStdString());
        std::vector<char*> argv;
        for (std::string& word : words)
            argv.push_back(word.data());
        argv.push_back(nullptr);
        const std::string errorPath = errorFile.toStdString();
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errorPath.c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ) != 0) {
            ADD_FAILURE() << "cannot start " << argv[0];
            pid_ = -1;
        }
        posix_spawn_file_actions_destroy(&actions);
        ::close(fds[1]);
    }
    ~PausedExport() {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
        if (out_ >= 0)
            ::close(out_);
    }
    PausedExport(const PausedExport&) = delete;
    PausedExport& operator=(const PausedExport&) = delete;

    pid_t pid() const { return pid_; }
    // The reader goes away, as `| head -1` does after its line.
    void closeOutput() {
        ::close(out_);
        out_ = -1;
    }

    // The next line of standard output, read byte by byte so that nothing
    // after it leaves the pipe.
    QByteArray readLine() {
        QByteArray line;
        char c = 0;
        while (::read(out_, &c, 1) == 1) {
            line.append(c);
            if (c == '\n')
                break;
        }
        return line;
    }

    // Reads the rest of standard output and waits for the program: its
    // exit status, or minus the signal that ended it.
    int finish() {
        char buffer[4096];
        while (::read(out_, buffer, sizeof buffer) > 0) {
        }
        int status = 0;
        const pid_t waited = ::waitpid(pid_, &status, 0);
        pid_ = -1;
        if (waited <= 0)
            return INT_MIN;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
    }

  private:
    pid_t pid_ = -1;
    int out_ = -1;
};

// A console host whose stop flag is raised by the test at a chosen moment,
// as a signal would raise it.
class StoppingHost : public ConsoleExportHost {
  public:
    enum class StopAt { FirstRow, CompletionMessage };
    StoppingHost(const QString& connection, std::FILE* out, StopAt at)
        : ConsoleExportHost(connection, {QStringLiteral("Brand")}, out, nullptr), at_(at) {}
    ~StoppingHost() override { stopFlag().store(false); }

    void rowsDone(std::int32_t rows) override {
        if (at_ == StopAt::FirstRow)
            stopFlag().store(true);
        ConsoleExportHost::rowsDone(rows);
    }
    void showMessage(const QString& text) override {
        // The completion message comes after the file was put in place.
        if (at_ == StopAt::CompletionMessage)
            stopFlag().store(true);
        ConsoleExportHost::showMessage(text);
    }

  private:
    StopAt at_;
};

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
        {"--connection", "", "T"},
        {"--connection= ", "T"},
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

// brivano-export over the same temporary drive as a window, whose export it
// must repeat byte for byte.
class ExportCommandLineTest : public app::test::MainWindowTest {};

TEST_F(ExportCommandLineTest, ExitsTwoOnUsageErrorsWithAReason) {
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

TEST_F(ExportCommandLineTest, WritesTheWindowsBytesAndExitsZero) {
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

TEST_F(ExportCommandLineTest, ExitsOneWhenAStepFailsAndKeepsGoing) {
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
    EXPECT_TRUE(
        unwritable.out.contains(QStringLiteral("Esportazione non eseguita: vedere l'elenco")));
}

TEST_F(ExportCommandLineTest, InterruptedLeavesThePreviousExportInPlace) {
    const QString connection = makeDatabase(QString::fromLatin1(kTables));
    // Brand is written first; the missing tables after it make lines enough
    // to fill the output pipe, so the program is exporting when the signal
    // comes, whatever the machine's speed.
    QStringList tables{QStringLiteral("Brand")};
    for (int i = 1; i < exporter::kSlotCount; ++i)
        tables << QStringLiteral("Manca%1_").arg(i) + QString(2000, u'x');
    const QString output = drive_.filePath(QStringLiteral("export.txt"));
    const QString errors = drive_.filePath(QStringLiteral("stderr.txt"));
    const QByteArray previous = "I,Prima,0,0\r\n";

    for (const int signal : {SIGINT, SIGTERM}) {
        SCOPED_TRACE(signal);
        QFile file(output);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(previous);
        file.close();

        PausedExport run(QStringList{"--connection", connection, "--output", output} + tables,
                         errors);
        // The first line comes from the run: the signal handlers are in place.
        ASSERT_EQ(run.readLine(), QByteArray("Export Tabella Brand...\n"));
        ASSERT_EQ(::kill(run.pid(), signal), 0);
        EXPECT_EQ(run.finish(), 1);

        EXPECT_EQ(fileBytes(output), previous);
        EXPECT_TRUE(fileBytes(errors).contains("interrupted")) << fileBytes(errors).constData();
        // Nothing of the abandoned file is left beside it.
        EXPECT_EQ(QDir(drive_.path()).entryList(QDir::Files),
                  QStringList({"export.txt", "stderr.txt", "tables.db"}));
    }

    // A second signal ends the program at once, unless the run stopped at
    // the first; either way the previous file stays.
    PausedExport run(QStringList{"--connection", connection, "--output", output} + tables, errors);
    ASSERT_EQ(run.readLine(), QByteArray("Export Tabella Brand...\n"));
    ASSERT_EQ(::kill(run.pid(), SIGINT), 0);
    ASSERT_EQ(::kill(run.pid(), SIGTERM), 0);
    const int status = run.finish();
    EXPECT_TRUE(status == 1 || status == -SIGINT || status == -SIGTERM) << status;
    EXPECT_EQ(fileBytes(output), previous);
}

TEST_F(ExportCommandLineTest, FinishesItsExportWhenItsReaderGoesAway) {
    const QString connection = makeDatabase(QString::fromLatin1(kTables));
    const QString output = drive_.filePath(QStringLiteral("export.txt"));
    PausedExport run({"--connection", connection, "--output", output, "Brand", "Calendario"},
                     drive_.filePath(QStringLiteral("stderr.txt")));
    ASSERT_EQ(run.readLine(), QByteArray("Export Tabella Brand...\n"));
    run.closeOutput();
    EXPECT_EQ(run.finish(), 0);
    const QByteArray written = fileBytes(output);
    EXPECT_TRUE(written.startsWith("I,Brand,3,1\r\n"));
    EXPECT_TRUE(written.contains("\r\nI,Calendario,1,1\r\n"));
}

TEST_F(ExportCommandLineTest, StopCountsOnlyWhenTheRunSawIt) {
    const QString connection = makeDatabase(QString::fromLatin1(kTables));
    const QString output = drive_.filePath(QStringLiteral("export.txt"));
    std::FILE* out = std::fopen("/dev/null", "w");
    ASSERT_NE(out, nullptr);

    // Stopped in the middle of the table: the file is not written.
    {
        StoppingHost host(connection, out, StoppingHost::StopAt::FirstRow);
        exporter::ExportRun run(host, output);
        run.RunExport();
        EXPECT_TRUE(host.stopSeen());
        EXPECT_FALSE(QFile::exists(output));
    }
    // A stop that comes once the file is in place changes nothing: the
    // export is complete, and must not be called interrupted.
    {
        StoppingHost host(connection, out, StoppingHost::StopAt::CompletionMessage);
        exporter::ExportRun run(host, output);
        run.RunExport();
        EXPECT_FALSE(host.stopSeen());
        EXPECT_EQ(run.reportCount(), 0);
        EXPECT_TRUE(fileBytes(output).startsWith("I,Brand,3,1\r\n"));
    }
    std::fclose(out);
}

}  // namespace
}  // namespace brivano::cli::test
