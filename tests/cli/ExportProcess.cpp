#include "ExportProcess.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>

namespace brivano::cli::test {
namespace {

constexpr int kWaitMs = 120000;

}  // namespace

ProcessResult runProgram(const QString& program, const QStringList& arguments, const QString& home,
                         const std::vector<std::pair<QString, QString>>& environment) {
    QProcess process;
    QProcessEnvironment variables = QProcessEnvironment::systemEnvironment();
    variables.insert(QStringLiteral("HOME"), home);
    variables.remove(QStringLiteral("BRIVANO_CONNECTION"));
    for (const auto& [name, value] : environment)
        variables.insert(name, value);
    process.setProcessEnvironment(variables);
    process.start(program, arguments);
    EXPECT_TRUE(process.waitForFinished(kWaitMs));
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            process.readAllStandardOutput(),
            QString::fromLocal8Bit(process.readAllStandardError())};
}

ProcessResult runExport(const QStringList& arguments, const QString& home,
                        const std::vector<std::pair<QString, QString>>& environment) {
    return runProgram(QStringLiteral(BRIVANO_EXPORT_BINARY), arguments, home, environment);
}

ProcessResult runCheck(const QStringList& arguments, const QString& home,
                       const std::vector<std::pair<QString, QString>>& environment) {
    return runProgram(QStringLiteral(BRIVANO_CHECK_BINARY), arguments, home, environment);
}

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace brivano::cli::test
