#include "platform/FileLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <QFile>
#include <cerrno>
#include <utility>

namespace brivano::platform {
namespace {

constexpr mode_t kLockFileMode = 0666;  // less the umask: others' runs take part too

// Not through a symbolic link: in a folder that others may write, a link of
// the lock file's name must not make this create a file elsewhere.
constexpr int kLockFileFlags = O_CLOEXEC | O_NOCTTY | O_NOFOLLOW;

int openLockFile(const QByteArray& path) {
    const int fd = ::open(path.constData(), O_RDWR | O_CREAT | kLockFileFlags, kLockFileMode);
    // A lock file that another user made, and may not be written, locks
    // as well when only read.
    if (fd < 0 && errno == EACCES)
        return ::open(path.constData(), O_RDONLY | kLockFileFlags);
    return fd;
}

}  // namespace

FileLock FileLock::tryTake(const QString& path, Outcome& outcome, std::error_code& error) {
    error.clear();
    const int fd = openLockFile(QFile::encodeName(path));
    if (fd < 0) {
        error = {errno, std::system_category()};
        outcome = Outcome::Failed;
        return {};
    }
    // flock() rather than fcntl() locks: they belong to this open file, not
    // to the process, so a second owner in the same process is refused too,
    // and closing another descriptor of the file does not drop them.
    int result = 0;
    do {
        result = ::flock(fd, LOCK_EX | LOCK_NB);
    } while (result != 0 && errno == EINTR);
    if (result != 0) {
        const int number = errno;
        ::close(fd);
        if (number == EWOULDBLOCK) {
            outcome = Outcome::Busy;
            return {};
        }
        error = {number, std::system_category()};
        outcome = Outcome::Failed;
        return {};
    }
    outcome = Outcome::Taken;
    return FileLock(fd);
}

void FileLock::release() noexcept {
    if (handle_ != kNoHandle)
        ::close(static_cast<int>(std::exchange(handle_, kNoHandle)));
}

}  // namespace brivano::platform
