#pragma once

#include <atomic>
#include <cstdio>
#include <functional>
#include <thread>

// What a program run from a console needs of the system: to hear that it
// is told to stop, to outlive a failed write, to know whether it writes to
// a terminal.
namespace brivano::platform {

// The requests to stop a program that may be waiting in a database call:
// SIGINT and SIGTERM. The first one sets `stopFlag`, which the program
// looks at, and runs `onFirstSignal` from a thread of its own (so it may
// do what a signal handler may not, such as cancel the statement under
// way); a second one ends the program at once. One watcher at a time.
class StopSignalWatcher {
  public:
    StopSignalWatcher(std::atomic<bool>& stopFlag, std::function<void()> onFirstSignal);
    ~StopSignalWatcher();
    StopSignalWatcher(const StopSignalWatcher&) = delete;
    StopSignalWatcher& operator=(const StopSignalWatcher&) = delete;

    // The number of the first signal that came, or 0: a program that stops
    // for it ends with status 128 + that number, as a shell expects.
    static int received();

  private:
    std::function<void()> onFirstSignal_;
    std::thread thread_;
};

// From now on a write past the file size limit, or into a pipe whose reader
// has gone, fails with its error (to be reported) instead of ending the
// program.
void surviveFailedWrites();

// True when `stream` goes to a terminal.
bool isTerminal(std::FILE* stream);

}  // namespace brivano::platform
