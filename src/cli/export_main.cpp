// brivano-export: the export engine without a window, for scheduled exports.
#include <unistd.h>
#include <QCoreApplication>
#include <csignal>
#include <cstdio>

#include "cli/ConsoleExportHost.h"
#include "cli/ExportCommandLine.h"
#include "db/Error.h"
#include "db/SettingsFile.h"
#include "db/ToolPaths.h"
#include "export/ExportRun.h"

namespace {

using brivano::cli::ConsoleExportHost;

constexpr int kExportOk = 0;
constexpr int kExportFailed = 1;

// The first signal asks the run to stop at its next look, which leaves the
// previous export file in place. A second one ends the program at once, for
// a connection or query that hangs before the run looks again; the previous
// file is still in place then.
void requestStop(int signal) {
    if (ConsoleExportHost::stopFlag().exchange(true)) {
        std::signal(signal, SIG_DFL);
        std::raise(signal);
    }
}

void printError(const QString& text) {
    std::fprintf(stderr, "brivano-export: %s\n", text.toLocal8Bit().constData());
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
        printError(error.description());
        std::fputs(brivano::cli::exportCommandLineUsage().toLocal8Bit().constData(), stderr);
        return brivano::cli::kUsageError;
    }
    if (command.help) {
        std::fputs(brivano::cli::exportCommandLineUsage().toLocal8Bit().constData(), stdout);
        return kExportOk;
    }

    const brivano::db::ToolPaths paths = brivano::db::ToolPaths::forCurrentUser();
    QString connection = command.connection.value_or(QString());
    if (!command.connection) {
        connection = brivano::db::readConnectionString(paths);
        if (connection.isEmpty()) {
            printError(QStringLiteral("no connection string: give --connection, or put one in %1")
                           .arg(paths.settingsFile()));
            return brivano::cli::kUsageError;
        }
    }

    std::signal(SIGINT, requestStop);
    std::signal(SIGTERM, requestStop);
    // A reader that stops reading (`| head`) must not kill the export
    // half-way: the lines are then lost, but the file is still written.
    std::signal(SIGPIPE, SIG_IGN);

    ConsoleExportHost host(connection, command.tables, stdout,
                           isatty(STDERR_FILENO) ? stderr : nullptr);
    brivano::exporter::ExportRun run(host, command.output.value_or(paths.exportFile()));
    run.RunExport();

    if (host.stopSeen()) {
        printError(QStringLiteral("interrupted; the export file was not replaced"));
        return kExportFailed;
    }
    return run.reportCount() == 0 ? kExportOk : kExportFailed;
}
