#include "ExportProcess.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QFile>
#include <QProcess>
#include <climits>
#include <csignal>
#include <string>

extern char** environ;

namespace brivano::cli::test {
namespace {

constexpr int kWaitMs = 120000;

ProcessResult runProcess(const QString& program, const QStringList& arguments, const QString& home,
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

}  // namespace

ProcessResult runExport(const QStringList& arguments, const QString& home,
                        const std::vector<std::pair<QString, QString>>& environment) {
    return runProcess(QStringLiteral(BRIVANO_EXPORT_BINARY), arguments, home, environment);
}

ProcessResult runCheck(const QStringList& arguments, const QString& home,
                       const std::vector<std::pair<QString, QString>>& environment) {
    return runProcess(QStringLiteral(BRIVANO_CHECK_BINARY), arguments, home, environment);
}

ProcessResult runExportUnder(const QStringList& wrapper, const QStringList& arguments,
                             const QString& home) {
    return runProcess(
        wrapper.first(),
        wrapper.mid(1) + QStringList{QStringLiteral(BRIVANO_EXPORT_BINARY)} + arguments, home, {});
}

ProcessResult runExportInShell(const QString& shellPrefix, const QStringList& arguments,
                               const QString& home) {
    QString command = shellPrefix + QStringLiteral("; exec \"$0\" \"$@\"");
    return runProcess(
        QStringLiteral("bash"),
        QStringList{QStringLiteral("-c"), command, QStringLiteral(BRIVANO_EXPORT_BINARY)} +
            arguments,
        home, {});
}

PausedExport::PausedExport(const QStringList& arguments) {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) {
        ADD_FAILURE() << "pipe2 failed";
        return;
    }
    err_ = fds[0];
    std::vector<std::string> words{BRIVANO_EXPORT_BINARY};
    for (const QString& argument : arguments)
        words.push_back(argument.toStdString());
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], STDERR_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    if (posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ) != 0) {
        ADD_FAILURE() << "cannot start " << argv[0];
        pid_ = -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    ::close(fds[1]);
}

PausedExport::~PausedExport() {
    if (pid_ > 0) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
    }
    if (err_ >= 0)
        ::close(err_);
}

QByteArray PausedExport::readLine() {
    QByteArray line;
    char c = 0;
    while (::read(err_, &c, 1) == 1) {
        line.append(c);
        if (c == '\n')
            break;
    }
    return line;
}

int PausedExport::finish(QByteArray* rest) {
    char buffer[4096];
    for (ssize_t read; (read = ::read(err_, buffer, sizeof buffer)) > 0;) {
        if (rest != nullptr)
            rest->append(buffer, read);
    }
    int status = 0;
    const pid_t waited = ::waitpid(pid_, &status, 0);
    pid_ = -1;
    if (waited <= 0)
        return INT_MIN;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
}

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace brivano::cli::test
