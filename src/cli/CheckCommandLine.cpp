#include "cli/CheckCommandLine.h"

#include <QCommandLineParser>

#include "cli/ExportCommandLine.h"
#include "db/Error.h"

namespace brivano::cli {
namespace {

[[noreturn]] void usageError(const QString& reason) {
    throw Error(kUsageError, reason);
}

}  // namespace

QString checkCommandLineHelp() {
    return QStringLiteral(
        "Usage: brivano-check [-v] [FILE]\n"
        "Tells whether an export file loads unambiguously: one summary line per\n"
        "table on standard output.\n"
        "\n"
        "  FILE           the export file (default: Export.txt in the home folder)\n"
        "  -v             list every problem in detail\n"
        "  -h, --help     show this help and exit\n"
        "  -V, --version  show the version and exit\n"
        "\n"
        "Exit status: 0 every block reads back unambiguously, 1 some line is\n"
        "ambiguous or some block is short, 2 usage error or a file that cannot be\n"
        "read.\n");
}

CheckCommandLine parseCheckCommandLine(const QStringList& arguments) {
    const QCommandLineOption verbose{QStringLiteral("v")};
    const QCommandLineOption help{{"h", "help"}};
    const QCommandLineOption version{{"V", "version"}};
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsCompactedShortOptions);
    parser.addOptions({verbose, help, version});
    if (!parser.parse(QStringList{QStringLiteral("brivano-check")} + arguments))
        usageError(parser.errorText());

    CheckCommandLine command;
    command.help = parser.isSet(help);
    command.version = parser.isSet(version);
    if (command.help || command.version)
        return command;
    command.verbose = parser.isSet(verbose);
    const QStringList files = parser.positionalArguments();
    if (files.size() > 1)
        usageError(QStringLiteral("one export file at a time"));
    if (!files.isEmpty()) {
        if (files.first().isEmpty())
            usageError(QStringLiteral("the file name is empty"));
        command.file = files.first();
    }
    return command;
}

}  // namespace brivano::cli
