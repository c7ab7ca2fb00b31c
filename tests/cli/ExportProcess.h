#pragma once

#include <sys/types.h>

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

// brivano-check, in the same way.
ProcessResult runCheck(const QStringList& arguments, const QString& home,
                       const std::vector<std::pair<QString, QString>>& environment = {});

// The same under another program that runs it (`wrapper` and its
// arguments, then brivano-export and `arguments`), such as strace.
ProcessResult runExportUnder(const QStringList& wrapper, const QStringList& arguments,
                             const QString& home);

// The same through `bash -c`, for what needs a shell first (ulimit).
ProcessResult runExportInShell(const QString& shellPrefix, const QStringList& arguments,
                               const QString& home);

// brivano-export with its standard error in a pipe that the test reads only
// as far as it chooses: once the pipe is full the program waits, still in
// the middle of its export, for as long as the test wants.
class PausedExport {
  public:
    explicit PausedExport(const QStringList& arguments);
    ~PausedExport();
    PausedExport(const PausedExport&) = delete;
    PausedExport& operator=(const PausedExport&) = delete;

    pid_t pid() const { return pid_; }
    // The next line of standard error, read byte by byte so that nothing
    // after it leaves the pipe.
    QByteArray readLine();
    // Reads the rest of standard error and waits for the program: its exit
    // status, or minus the signal that ended it. `rest` gets what was read.
    int finish(QByteArray* rest = nullptr);

  private:
    pid_t pid_ = -1;
    int err_ = -1;
};

QByteArray fileBytes(const QString& path);

}  // namespace brivano::cli::test
