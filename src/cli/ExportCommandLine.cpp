#include "cli/ExportCommandLine.h"

#include "db/Error.h"
#include "export/ExportHost.h"
#include "export/TableGroups.h"

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

}  // namespace

QString exportCommandLineUsage() {
    return QStringLiteral(
               "Usage: brivano-export [--connection STRING] [--output FILE] (--group NAME | "
               "TABLE...)\n"
               "Exports the named tables, or every table of a group, into one export file.\n"
               "  --connection STRING  connection string (default: the settings file "
               "Connection.set)\n"
               "  --output FILE        export file (default: Export.txt in the home folder)\n"
               "  --group NAME         all tables of a group: %1\n"
               "Exit status: 0 all tables exported, 1 some step failed, 2 usage error.\n")
        .arg(groupNames());
}

ExportCommandLine parseExportCommandLine(const QStringList& arguments) {
    ExportCommandLine result;
    std::optional<QString> group;
    bool optionsEnded = false;

    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        if (optionsEnded || !argument.startsWith(u'-') || argument == u"-") {
            result.tables << argument;
            continue;
        }
        if (argument == u"--") {
            optionsEnded = true;
            continue;
        }
        if (argument == u"--help" || argument == u"-h") {
            result.help = true;
            return result;
        }
        // "--name value" and "--name=value" both work.
        QString name = argument;
        std::optional<QString> value;
        if (const qsizetype equals = argument.indexOf(u'='); equals > 0) {
            name = argument.left(equals);
            value = argument.mid(equals + 1);
        }
        std::optional<QString>* target = nullptr;
        if (name == u"--connection") {
            target = &result.connection;
        } else if (name == u"--output") {
            target = &result.output;
        } else if (name == u"--group") {
            target = &group;
        } else {
            usageError(QStringLiteral("unknown option %1").arg(name));
        }
        if (!value) {
            if (i + 1 >= arguments.size())
                usageError(QStringLiteral("%1 needs a value").arg(name));
            value = arguments.at(++i);
        }
        if (target->has_value())
            usageError(QStringLiteral("%1 is given twice").arg(name));
        *target = *value;
    }

    if (group && !result.tables.isEmpty()) {
        usageError(QStringLiteral("give either --group or table names, not both"));
    }
    if (group) {
        const exporter::TableGroup* found = exporter::findTableGroup(*group);
        if (found == nullptr) {
            usageError(
                QStringLiteral("unknown group \"%1\" (groups: %2)").arg(*group, groupNames()));
        }
        result.tables = found->names;
    }
    if (result.tables.isEmpty())
        usageError(QStringLiteral("no table to export"));
    if (result.tables.size() > exporter::kSlotCount) {
        usageError(QStringLiteral("at most %1 tables in one export").arg(exporter::kSlotCount));
    }
    for (const QString& table : std::as_const(result.tables)) {
        if (table.trimmed().isEmpty())
            usageError(QStringLiteral("a table name is empty"));
    }
    if (result.output && result.output->isEmpty())
        usageError(QStringLiteral("--output is empty"));
    // Most likely an unset variable in a script: no settings file is read
    // in its place, and no connection is tried with nothing.
    if (result.connection && result.connection->trimmed().isEmpty())
        usageError(QStringLiteral("--connection is empty"));
    return result;
}

}  // namespace brivano::cli
