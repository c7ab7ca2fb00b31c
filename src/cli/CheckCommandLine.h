#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace brivano::cli {

// What `brivano-check` was asked to do.
struct CheckCommandLine {
    std::optional<QString> file;  // absent: the window's export file
    bool verbose = false;
    bool help = false;
    bool version = false;
};

// Parses the arguments after the program name. Throws brivano::Error with
// number kUsageError and a one-line reason when they make no sense.
CheckCommandLine parseCheckCommandLine(const QStringList& arguments);

QString checkCommandLineHelp();

}  // namespace brivano::cli
