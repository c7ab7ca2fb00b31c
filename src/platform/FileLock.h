#pragma once

#include <QString>
#include <cstdint>
#include <system_error>

namespace brivano::platform {

// An exclusive lock on a lock file, held while the object lives, so that
// two processes (or two owners in one process) never work on the same thing
// at once. The system lets it go when its holder ends, however it ends: a
// lock file left behind by a killed holder is free again. The lock file
// itself stays; it is empty and never read.
class FileLock {
  public:
    enum class Outcome {
        Taken,
        Busy,    // another holder has it now
        Failed,  // the lock file cannot be opened or locked; `error` says why
    };

    FileLock() = default;
    ~FileLock();
    FileLock(FileLock&& other) noexcept;
    FileLock& operator=(FileLock&& other) noexcept;

    // Opens the lock file at `path`, created empty when missing, and takes
    // its lock without waiting. An untaken FileLock unless `outcome` is
    // Taken.
    static FileLock tryTake(const QString& path, Outcome& outcome, std::error_code& error);

    bool isTaken() const { return handle_ != kNoHandle; }
    // Lets the lock go at once.
    void release() noexcept;

  private:
    static constexpr std::intptr_t kNoHandle = -1;

    explicit FileLock(std::intptr_t handle) : handle_(handle) {}

    // A descriptor on Linux, a HANDLE on Windows.
    std::intptr_t handle_ = kNoHandle;
};

}  // namespace brivano::platform
