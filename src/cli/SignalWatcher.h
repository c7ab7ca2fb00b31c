#pragma once

#include <functional>
#include <thread>

namespace brivano::cli {

// SIGINT and SIGTERM for a program that may be waiting in a database call.
// The first one sets the stop flag that the run looks at and, from a thread
// of its own, runs `onFirstSignal` (which cancels the statement under way,
// so that the run gets to look soon); a second one ends the program at once.
// One watcher at a time.
class SignalWatcher {
  public:
    explicit SignalWatcher(std::function<void()> onFirstSignal);
    ~SignalWatcher();
    SignalWatcher(const SignalWatcher&) = delete;
    SignalWatcher& operator=(const SignalWatcher&) = delete;

    // The first signal that came, or 0.
    static int received();

  private:
    static void handle(int signal);

    std::function<void()> onFirstSignal_;
    std::thread thread_;
};

}  // namespace brivano::cli
