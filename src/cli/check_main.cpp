// brivano-check: tells whether an export file loads unambiguously.
#include <QCoreApplication>
#include <cstdio>

#include "cli/CheckCommandLine.h"
#include "cli/CheckReport.h"
#include "cli/ExportCommandLine.h"
#include "db/Error.h"
#include "export/ExportFileReader.h"
#include "platform/ToolPaths.h"

namespace {

constexpr int kReadsBack = 0;
constexpr int kDoesNotReadBack = 1;
constexpr int kCannotRead = 2;

void printError(const QString& text) {
    std::fprintf(stderr, "brivano-check: %s\n", text.toLocal8Bit().constData());
}

int usageError(const QString& text) {
    printError(text);
    std::fputs("Try 'brivano-check --help'.\n", stderr);
    return brivano::cli::kUsageError;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    QStringList arguments = QCoreApplication::arguments();
    arguments.removeFirst();

    brivano::cli::CheckCommandLine command;
    try {
        command = brivano::cli::parseCheckCommandLine(arguments);
    } catch (const brivano::Error& error) {
        return usageError(error.description());
    }
    if (command.help) {
        std::fputs(brivano::cli::checkCommandLineHelp().toLocal8Bit().constData(), stdout);
        return kReadsBack;
    }
    if (command.version) {
        std::fputs("brivano-check " BRIVANO_VERSION "\n", stdout);
        return kReadsBack;
    }

    const QString file =
        command.file.value_or(brivano::platform::ToolPaths::forCurrentUser().exportFile());
    brivano::cli::CheckReport report(stdout, command.verbose);
    try {
        brivano::exporter::ExportFileReader(file, {}).read(report);
    } catch (const brivano::Error& error) {
        std::fflush(stdout);
        printError(error.description());
        return kCannotRead;
    }
    return report.allReadBack() ? kReadsBack : kDoesNotReadBack;
}
