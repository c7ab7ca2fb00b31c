#include "platform/Files.h"
#include "platform/ForcedExit.h"

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
constexpr mode_t kNewFileMode = 0666;  // less the umask, as any new file

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

mode_t currentUmask() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
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

ReplacementFile::~ReplacementFile() {
    discard();
}

ReplacementFile::ReplacementFile(ReplacementFile&& other) noexcept
    : file_(std::move(other.file_)),
      destination_(std::exchange(other.destination_, {})),
      temporary_(std::exchange(other.temporary_, {})) {}

ReplacementFile& ReplacementFile::operator=(ReplacementFile&& other) noexcept {
    if (this != &other) {
        discard();
        file_ = std::move(other.file_);
        destination_ = std::exchange(other.destination_, {});
        temporary_ = std::exchange(other.temporary_, {});
    }
    return *this;
}

ReplacementFile ReplacementFile::create(const QString& destination, std::error_code& error) {
    QByteArray name = encoded(destination + QStringLiteral(".XXXXXX"));
    const int fd = ::mkostemp(name.data(), O_CLOEXEC);
    if (fd < 0) {
        error = lastError();
        return {};
    }
    error.clear();
    // The old file's permissions, or those of any new file: not mkstemp's
    // private ones.
    struct stat old {};
    const mode_t mode = ::stat(encoded(destination).constData(), &old) == 0
                            ? (old.st_mode & 07777)
                            : (kNewFileMode & ~currentUmask());
    ::fchmod(fd, mode);
    ReplacementFile replacement;
    replacement.file_ = File(fd, true);
    replacement.destination_ = destination;
    replacement.temporary_ = QFile::decodeName(name);
    removeAtForcedExit(replacement.temporary_);
    return replacement;
}

std::error_code ReplacementFile::finishWriting() {
    if (const std::error_code error = file_.sync())
        return error;
    return file_.close();
}

std::error_code ReplacementFile::replaceDestination() {
    if (::rename(encoded(temporary_).constData(), encoded(destination_).constData()) != 0)
        return lastError();
    keepAtForcedExit(temporary_);
    temporary_.clear();
    return {};
}

void ReplacementFile::discard() noexcept {
    file_ = File();
    if (!temporary_.isEmpty()) {
        ::unlink(encoded(temporary_).constData());
        keepAtForcedExit(temporary_);
        temporary_.clear();
    }
}

}  // namespace brivano::platform
