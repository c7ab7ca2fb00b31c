// brivano-export: the export engine without a window, for scheduled exports.
#include <QCoreApplication>
#include <cstdio>
#include <cstdlib>

#include "cli/ConsoleExportHost.h"
#include "cli/ExportCommandLine.h"
#include "db/Error.h"
#include "export/ExportRun.h"
#include "export/ExportTarget.h"
#include "platform/AnsiCodePage.h"
#include "platform/Console.h"
#include "platform/ToolPaths.h"
#include "settings/SettingsFile.h"
#include "texts/Texts.h"

namespace {

using brivano::cli::ConsoleExportHost;
using brivano::cli::kUsageError;

constexpr int kExportOk = 0;
constexpr int kExportFailed = 1;
constexpr int kKilledBySignal = 128;
constexpr char kEnvironmentConnection[] = "BRIVANO_CONNECTION";

void printError(const QString& text) {
    std::fprintf(stderr, "brivano-export: %s\n", text.toLocal8Bit().constData());
}

int usageError(const QString& text) {
    printError(text);
    std::fputs("Try 'brivano-export --help'.\n", stderr);
    return kUsageError;
}

// The connection string, from the first place that gives one: --connection,
// --settings, BRIVANO_CONNECTION, the settings file. Throws Error (usage)
// when none does.
QString connectionString(const brivano::cli::ExportCommandLine& command,
                         const brivano::platform::ToolPaths& paths) {
    if (command.connection)
        return *command.connection;
    if (command.settings) {
        const QString read = brivano::settings::readConnectionStringFile(
            *command.settings, brivano::platform::systemCodePage());
        if (read.trimmed().isEmpty())
            throw brivano::Error(
                kUsageError,
                QStringLiteral("%1 holds no connection string").arg(*command.settings));
        return read;
    }
    const QString environment = qEnvironmentVariable(kEnvironmentConnection);
    if (!environment.trimmed().isEmpty())
        return environment;
    const QString read = brivano::settings::readConnectionString(paths);
    if (read.isEmpty())
        throw brivano::Error(
            kUsageError, QStringLiteral("no connection string: give --connection, or put one in %1")
                             .arg(paths.settingsFile()));
    return read;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    QStringList arguments = QCoreApplication::arguments();
    arguments.removeFirst();

    brivano::cli::ExportCommandLine command;
    try {
        command = brivano::cli::parseExportCommandLine(arguments);
    } catch (const brivano::Error& error) {
        return usageError(error.description());
    }
    if (command.help) {
        std::fputs(brivano::cli::exportCommandLineHelp().toLocal8Bit().constData(), stdout);
        return kExportOk;
    }
    if (command.version) {
        std::fputs("brivano-export " BRIVANO_VERSION "\n", stdout);
        return kExportOk;
    }

    const brivano::platform::ToolPaths paths = brivano::platform::ToolPaths::forCurrentUser();
    QString connection;
    try {
        connection = connectionString(command, paths);
    } catch (const brivano::Error& error) {
        return usageError(error.description());
    }
    const QString output = command.output.value_or(paths.exportFile());
    if (const QString refusal = brivano::exporter::ExportTarget::refusal(output);
        !refusal.isEmpty())
        return usageError(refusal);

    // A size limit makes a write fail (and be reported) instead of killing
    // the program; a reader of standard error that goes away must not end
    // the export either.
    brivano::platform::surviveFailedWrites();

    ConsoleExportHost host(connection, command.tables, stderr,
                           brivano::platform::isTerminal(stderr) ? stderr : nullptr, command.quiet);
    // Windows set to UTF-8 for every program: the file follows the system,
    // and the operator is told it is not in an ANSI code page.
    if (brivano::platform::systemCodePage() == brivano::platform::kUtf8CodePage)
        printError(brivano::texts::utf8CodePageWarning());
    brivano::exporter::ExportRun run(host, output);
    {
        const brivano::platform::StopSignalWatcher watcher(ConsoleExportHost::stopFlag(),
                                                           [&run] { run.cancel(); });
        run.RunExport();
    }

    if (host.stopSeen()) {
        printError(QStringLiteral("interrupted; the export file was not replaced"));
        return kKilledBySignal + brivano::platform::StopSignalWatcher::received();
    }
    return run.reportCount() == 0 ? kExportOk : kExportFailed;
}
