#include "ExportProcessPosix.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <climits>
#include <csignal>
#include <string>

extern char** environ;

namespace brivano::cli::test {

ProcessResult runExportInShell(const QString& shellPrefix, const QStringList& arguments,
                               const QString& home) {
    QString command = shellPrefix + QStringLiteral("; exec \"$0\" \"$@\"");
    return runProgram(
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

}  // namespace brivano::cli::test
