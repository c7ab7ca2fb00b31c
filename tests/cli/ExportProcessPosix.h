#pragma once

#include <sys/types.h>

#include "ExportProcess.h"

// What only a POSIX system lets a test do to brivano-export: start it
// through a shell, hold it in the middle of its export, send it signals.
namespace brivano::cli::test {

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

}  // namespace brivano::cli::test
