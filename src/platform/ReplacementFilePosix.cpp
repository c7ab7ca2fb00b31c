#include "platform/Files.h"
#include "platform/ForcedExit.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <cerrno>
#include <utility>

namespace brivano::platform {
namespace {

constexpr mode_t kNewFileMode = 0666;  // less the umask, as any new file
// Tries at a free hidden name before giving up (each fails only on a name
// that exists already).
constexpr int kNameAttempts = 100;
constexpr qsizetype kUniqueLength = 6;

std::error_code lastError() {
    return {errno, std::system_category()};
}

QByteArray encoded(const QString& path) {
    return QFile::encodeName(path);
}

mode_t currentUmask() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}

// The old file's permissions, or those of any new file: not mkstemp's
// private ones.
mode_t modeFor(const QString& destination) {
    struct stat old {};
    return ::stat(encoded(destination).constData(), &old) == 0 ? (old.st_mode & 07777)
                                                               : (kNewFileMode & ~currentUmask());
}

// The errors of a kernel or a file system without unnamed files.
bool unnamedFilesUnsupported(int number) {
    return number == EOPNOTSUPP || number == EISDIR || number == EINVAL;
}

// A hidden name with six letters or digits of its own.
QString randomHiddenName(const QString& destination) {
    static constexpr QStringView kAlphabet =
        u"abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    QString unique(kUniqueLength, Qt::Uninitialized);
    for (QChar& c : unique)
        c = kAlphabet[QRandomGenerator::global()->bounded(int(kAlphabet.size()))];
    return hiddenReplacementPath(destination, unique);
}

// Gives the unnamed file open at `fd` a name. Through /proc, since linking
// the descriptor itself (AT_EMPTY_PATH) needs a privilege on older kernels.
int linkUnnamed(int fd, const QByteArray& name) {
    const QByteArray self = "/proc/self/fd/" + QByteArray::number(fd);
    if (::linkat(AT_FDCWD, self.constData(), AT_FDCWD, name.constData(), AT_SYMLINK_FOLLOW) == 0)
        return 0;
    if (errno != ENOENT)
        return -1;
    return ::linkat(fd, "", AT_FDCWD, name.constData(), AT_EMPTY_PATH);
}

}  // namespace

ReplacementFile ReplacementFile::create(const QString& destination, std::error_code& error,
                                        Naming naming) {
    error.clear();
    const mode_t mode = modeFor(destination);
    ReplacementFile replacement;
    int fd = -1;
    if (naming == Naming::Unnamed) {
        const QString folder = QFileInfo(destination).path();
        fd = ::open(encoded(folder).constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC, mode);
        if (fd < 0 && !unnamedFilesUnsupported(errno)) {
            error = lastError();
            return {};
        }
    }
    if (fd < 0) {
        QByteArray name = encoded(hiddenReplacementPath(destination, u"XXXXXX"));
        fd = ::mkostemp(name.data(), O_CLOEXEC);
        if (fd < 0) {
            error = lastError();
            return {};
        }
        replacement.temporary_ = QFile::decodeName(name);
        removeAtForcedExit(replacement.temporary_);
    }
    ::fchmod(fd, mode);
    replacement.file_ = File(fd, true);
    replacement.destination_ = destination;
    return replacement;
}

std::error_code ReplacementFile::finishWriting() {
    if (const std::error_code error = file_.sync())
        return error;
    if (temporary_.isEmpty()) {
        // The name exists only from here to the rename: a writer killed in
        // between leaves it to the next one to remove.
        for (int attempt = 0;; ++attempt) {
            const QString name = randomHiddenName(destination_);
            if (linkUnnamed(static_cast<int>(file_.handle_), encoded(name)) == 0) {
                temporary_ = name;
                removeAtForcedExit(temporary_);
                break;
            }
            if (errno != EEXIST || attempt + 1 == kNameAttempts)
                return lastError();
        }
    }
    return file_.close();
}

std::error_code ReplacementFile::replaceDestination() {
    if (::rename(encoded(temporary_).constData(), encoded(destination_).constData()) != 0)
        return lastError();
    keepAtForcedExit(temporary_);
    temporary_.clear();
    return {};
}

std::error_code ReplacementFile::syncFolder() {
    const QString folder = QFileInfo(destination_).path();
    const int fd = ::open(encoded(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return lastError();
    std::error_code error;
    // EINVAL: a file system that keeps no folder on a disk of its own.
    if (::fsync(fd) != 0 && errno != EINVAL)
        error = lastError();
    ::close(fd);
    return error;
}

void ReplacementFile::discard() noexcept {
    file_ = File();  // an unnamed file is gone with its last descriptor
    if (!temporary_.isEmpty()) {
        ::unlink(encoded(temporary_).constData());
        keepAtForcedExit(temporary_);
        temporary_.clear();
    }
}

}  // namespace brivano::platform
