#pragma once

#include <QString>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

// The last resort of a program told to stop while a call that cannot be
// interrupted holds it (an ODBC driver waiting on a silent server): once
// armed, the program ends by itself after a grace period, with the status
// it was given, and without the temporary files it was writing.
namespace brivano::platform {

class ForcedExit {
  public:
    // `beforeExit` runs on the timer's thread just before the end (a last
    // message).
    ForcedExit(std::chrono::milliseconds grace, std::function<void()> beforeExit);
    // Disarms: a program that reaches here ended in time.
    ~ForcedExit();
    ForcedExit(const ForcedExit&) = delete;
    ForcedExit& operator=(const ForcedExit&) = delete;

    // Starts the grace period; from any thread, once (later calls change
    // nothing).
    void arm(int exitStatus);

  private:
    void waitForTheEnd();

    std::chrono::milliseconds grace_;
    std::function<void()> beforeExit_;
    std::mutex mutex_;
    std::condition_variable changed_;
    bool armed_ = false;
    bool disarmed_ = false;
    int exitStatus_ = 0;
    std::thread timer_;
};

// The temporary files that a forced exit removes: a file is named here when
// it is created and let go when it is renamed into place or removed.
void removeAtForcedExit(const QString& path);
void keepAtForcedExit(const QString& path);

}  // namespace brivano::platform
