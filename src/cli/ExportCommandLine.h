#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace brivano::cli {

// What `brivano-export` was asked to do.
struct ExportCommandLine {
    std::optional<QString> connection;  // --connection
    std::optional<QString> settings;    // --settings: a file to read it from
    std::optional<QString> output;      // absent: the window's export file
    QStringList tables;                 // in export order
    bool quiet = false;
    bool help = false;
    bool version = false;
};

// Parses the arguments after the program name. Throws brivano::Error with
// number kUsageError and a one-line reason when they make no sense.
ExportCommandLine parseExportCommandLine(const QStringList& arguments);

QString exportCommandLineHelp();

inline constexpr int kUsageError = 2;

}  // namespace brivano::cli
