#include "platform/FileLock.h"

#include <utility>

// Owning and handing over a lock is the same on every system; taking and
// releasing it is each system's own.
namespace brivano::platform {

FileLock::~FileLock() {
    release();
}

FileLock::FileLock(FileLock&& other) noexcept : handle_(std::exchange(other.handle_, kNoHandle)) {}

FileLock& FileLock::operator=(FileLock&& other) noexcept {
    if (this != &other) {
        release();
        handle_ = std::exchange(other.handle_, kNoHandle);
    }
    return *this;
}

}  // namespace brivano::platform
