#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <utility>
#include <vector>

namespace brivano::cli::test {

// What brivano-export did when run to its end.
struct ProcessResult {
    int exitCode = -1;
    QByteArray out;
    QString err;
};

// Runs brivano-export with a home folder of the test's own (so that the
// settings file and the default export file are the test's) and the extra
// environment given. It inherits the test's locale, so it writes the same
// text forms as the window in the same process.
ProcessResult runExport(const QStringList& arguments, const QString& home,
                        const std::vector<std::pair<QString, QString>>& environment = {});

// Any program, in the same way.
ProcessResult runProgram(const QString& program, const QStringList& arguments, const QString& home,
                         const std::vector<std::pair<QString, QString>>& environment);

// brivano-check, in the same way.
ProcessResult runCheck(const QStringList& arguments, const QString& home,
                       const std::vector<std::pair<QString, QString>>& environment = {});

QByteArray fileBytes(const QString& path);

}  // namespace brivano::cli::test
