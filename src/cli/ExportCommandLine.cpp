#include "cli/ExportCommandLine.h"

#include <QCommandLineParser>

#include "cli/TableName.h"
#include "db/Error.h"
#include "export/ExportHost.h"
#include "export/TableGroups.h"
#include "platform/ToolPaths.h"

namespace brivano::cli {
namespace {

[[noreturn]] void usageError(const QString& reason) {
    throw Error(kUsageError, reason);
}

QString groupNames() {
    QStringList names;
    for (const exporter::TableGroup& group : exporter::tableGroups())
        names << group.caption;
    return names.join(QStringLiteral(", "));
}

struct Options {
    QCommandLineOption connection{{"c", "connection"}, "", "string"};
    QCommandLineOption output{{"o", "output"}, "", "file"};
    QCommandLineOption group{{"g", "group"}, "", "name"};
    QCommandLineOption settings{{"s", "settings"}, "", "file"};
    QCommandLineOption quiet{{"q", "quiet"}};
    QCommandLineOption help{{"h", "help"}};
    QCommandLineOption version{{"V", "version"}};
};

// The value of an option given at most once.
std::optional<QString> single(const QCommandLineParser& parser, const QCommandLineOption& option) {
    const QStringList values = parser.values(option);
    if (values.size() > 1)
        usageError(QStringLiteral("--%1 is given more than once").arg(option.names().last()));
    if (values.isEmpty())
        return std::nullopt;
    return values.first();
}

QStringList tablesOf(const QCommandLineParser& parser, const Options& options) {
    QStringList tables = parser.positionalArguments();
    if (const std::optional<QString> group = single(parser, options.group)) {
        if (!tables.isEmpty())
            usageError(QStringLiteral("give either --group or table names, not both"));
        const exporter::TableGroup* found = exporter::findTableGroup(*group);
        if (found == nullptr)
            usageError(
                QStringLiteral("unknown group \"%1\" (groups: %2)").arg(*group, groupNames()));
        return found->names;
    }
    if (tables.isEmpty())
        usageError(QStringLiteral("no table to export"));
    if (tables.size() > exporter::kSlotCount)
        usageError(QStringLiteral("at most %1 tables in one export").arg(exporter::kSlotCount));
    for (const QString& table : std::as_const(tables)) {
        if (!isTableName(table))
            usageError(QStringLiteral("\"%1\" is not a table name").arg(table));
    }
    return tables;
}

}  // namespace

QString exportCommandLineHelp() {
    return QStringLiteral(
               "Usage: brivano-export [OPTION]... (-g NAME | TABLE...)\n"
               "Exports the named tables, or every table of a group, into one export file.\n"
               "\n"
               "  -c, --connection STRING  the connection string\n"
               "  -s, --settings FILE      read the connection string from FILE (the format\n"
               "                           of Connection.set)\n"
               "  -o, --output FILE        the export file (default: %2);\n"
               "                           - is standard output\n"
               "  -g, --group NAME         every table of a group: %1\n"
               "  -q, --quiet              report lines only, no progress lines\n"
               "  -h, --help               show this help and exit\n"
               "  -V, --version            show the version and exit\n"
               "\n"
               "Without -c or -s the connection string comes from BRIVANO_CONNECTION, else\n"
               "from the settings file Connection.set, as the window reads it. Messages go\n"
               "to standard error.\n"
               "Exit status: 0 every table exported, 1 some step failed, 2 usage error,\n"
               "130 and 143 interrupted (the previous export file is kept).\n")
        .arg(groupNames(), platform::ToolPaths::forCurrentUser().exportFile());
}

ExportCommandLine parseExportCommandLine(const QStringList& arguments) {
    const Options options;
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsCompactedShortOptions);
    parser.addOptions({options.connection, options.output, options.group, options.settings,
                       options.quiet, options.help, options.version});
    if (!parser.parse(QStringList{QStringLiteral("brivano-export")} + arguments))
        usageError(parser.errorText());

    ExportCommandLine command;
    command.help = parser.isSet(options.help);
    command.version = parser.isSet(options.version);
    if (command.help || command.version)
        return command;
    command.quiet = parser.isSet(options.quiet);
    command.connection = single(parser, options.connection);
    command.settings = single(parser, options.settings);
    command.output = single(parser, options.output);
    if (command.connection && command.settings)
        usageError(QStringLiteral("give either --connection or --settings, not both"));
    // Most likely an unset variable in a script: no settings file is read
    // in its place, and no connection is tried with nothing.
    if (command.connection && command.connection->trimmed().isEmpty())
        usageError(QStringLiteral("--connection is empty"));
    if (command.settings && command.settings->isEmpty())
        usageError(QStringLiteral("--settings is empty"));
    if (command.output && command.output->isEmpty())
        usageError(QStringLiteral("--output is empty"));
    command.tables = tablesOf(parser, options);
    return command;
}

}  // namespace brivano::cli
