#include "platform/Files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstdlib>
#include <utility>

namespace brivano::platform {
namespace {

// Linux's own limit for the links of one path.
constexpr int kMaxLinks = 40;

std::error_code systemError(int number) {
    return {number, std::system_category()};
}

std::error_code lastError() {
    return systemError(errno);
}

QByteArray encoded(const QString& path) {
    return QFile::encodeName(path);
}

int descriptor(std::intptr_t handle) {
    return static_cast<int>(handle);
}

}  // namespace

PathStatus pathStatus(const QString& path) {
    struct stat status {};
    if (::stat(encoded(path).constData(), &status) != 0) {
        const int number = errno;
        return {number == ENOENT ? PathKind::Missing : PathKind::Unreachable, systemError(number)};
    }
    if (S_ISREG(status.st_mode))
        return {PathKind::File, {}};
    if (S_ISCHR(status.st_mode) || S_ISFIFO(status.st_mode))
        return {PathKind::Stream, {}};
    if (S_ISDIR(status.st_mode))
        return {PathKind::Folder, systemError(EISDIR)};
    return {PathKind::Other, {}};
}

QString finalPath(const QString& path, std::error_code& error) {
    error.clear();
    QString current = path;
    for (int hop = 0; hop < kMaxLinks; ++hop) {
        struct stat status {};
        if (::lstat(encoded(current).constData(), &status) != 0 || !S_ISLNK(status.st_mode))
            return current;
        const QString target = QFileInfo(current).symLinkTarget();
        if (target.isEmpty())
            return current;
        current = target;
    }
    error = systemError(ELOOP);
    return path;
}

File::~File() {
    if (isOpen() && owned_)
        ::close(descriptor(handle_));
}

File::File(File&& other) noexcept
    : handle_(std::exchange(other.handle_, kNoHandle)), owned_(other.owned_) {}

File& File::operator=(File&& other) noexcept {
    if (this != &other) {
        if (isOpen() && owned_)
            ::close(descriptor(handle_));
        handle_ = std::exchange(other.handle_, kNoHandle);
        owned_ = other.owned_;
    }
    return *this;
}

File File::standardOutput() {
    return File(STDOUT_FILENO, false);
}

File File::openStream(const QString& path, std::error_code& error) {
    const int fd = ::open(encoded(path).constData(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
    error = fd < 0 ? lastError() : std::error_code();
    return fd < 0 ? File() : File(fd, true);
}

File File::openForSequentialReading(const QString& path, std::error_code& error) {
    const int fd = ::open(encoded(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        error = lastError();
        return {};
    }
    error.clear();
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
    return File(fd, true);
}

File File::openRegularForReading(const QString& path, std::error_code& error) {
    // O_NONBLOCK lets a FIFO open at once, so fstat() can refuse it.
    const int fd = ::open(encoded(path).constData(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) {
        error = lastError();
        return {};
    }
    File file(fd, true);
    struct stat status {};
    if (::fstat(fd, &status) != 0) {
        error = lastError();
        return {};
    }
    if (!S_ISREG(status.st_mode)) {
        error = systemError(S_ISDIR(status.st_mode) ? EISDIR : EINVAL);
        return {};
    }
    error.clear();
    return file;
}

File File::openScratch(std::error_code& error) {
    const int fd =
        ::open(encoded(QDir::tempPath()).constData(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    error = fd < 0 ? lastError() : std::error_code();
    return fd < 0 ? File() : File(fd, true);
}

std::error_code File::write(QByteArrayView bytes) {
    const char* at = bytes.data();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(descriptor(handle_), at, static_cast<size_t>(left));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return lastError();
        }
        at += written;
        left -= written;
    }
    return {};
}

std::error_code File::read(char* into, qsizetype capacity, qsizetype& count) {
    for (;;) {
        const ssize_t read = ::read(descriptor(handle_), into, static_cast<size_t>(capacity));
        if (read < 0 && errno == EINTR)
            continue;
        count = read < 0 ? 0 : read;
        return read < 0 ? lastError() : std::error_code();
    }
}

std::error_code File::truncate(std::int64_t size) {
    if (::ftruncate(descriptor(handle_), size) != 0)
        return lastError();
    return seek(size);
}

std::error_code File::seek(std::int64_t offset) {
    return ::lseek(descriptor(handle_), offset, SEEK_SET) < 0 ? lastError() : std::error_code();
}

std::error_code File::sync() {
    return ::fsync(descriptor(handle_)) != 0 ? lastError() : std::error_code();
}

std::error_code File::close() {
    if (!isOpen())
        return {};
    const int fd = descriptor(std::exchange(handle_, kNoHandle));
    if (!owned_)
        return {};
    return ::close(fd) != 0 ? lastError() : std::error_code();
}

}  // namespace brivano::platform
