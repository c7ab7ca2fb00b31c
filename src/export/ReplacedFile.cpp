#include "export/ReplacedFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <cerrno>
#include <cstdlib>

#include "db/Error.h"
#include "texts/Texts.h"

namespace brivano::exporter {
namespace {

constexpr mode_t kNewFileMode = 0666;  // less the umask, as any new file

mode_t currentUmask() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}

}  // namespace

ReplacedFile::ReplacedFile(QString destination, QString shownPath)
    : destination_(std::move(destination)), shownPath_(std::move(shownPath)) {
    QByteArray name = QFile::encodeName(destination_ + QStringLiteral(".XXXXXX"));
    fd_ = ::mkostemp(name.data(), O_CLOEXEC);
    if (fd_ < 0)
        fail(texts::cannotCreateExportFile, errno);
    temporary_ = QFile::decodeName(name);
    // The new file keeps the permissions of the one it replaces; a first
    // file gets those of any new file, not mkstemp's private ones.
    struct stat old {};
    const mode_t mode = ::stat(QFile::encodeName(destination_).constData(), &old) == 0
                            ? (old.st_mode & 07777)
                            : (kNewFileMode & ~currentUmask());
    ::fchmod(fd_, mode);
}

ReplacedFile::~ReplacedFile() {
    abandon();
}

void ReplacedFile::fail(QString (*what)(const QString& path), int errorNumber) {
    abandon();
    throw Error(errorNumber,
                texts::withReason(what(QDir::toNativeSeparators(shownPath_)), errorNumber));
}

void ReplacedFile::write(QByteArrayView bytes) {
    if (!writeAll(fd_, bytes))
        fail(texts::cannotWriteExportFile, errno);
    size_ += bytes.size();
}

void ReplacedFile::discardBlock() {
    if (::ftruncate(fd_, blockStart_) != 0 || ::lseek(fd_, blockStart_, SEEK_SET) < 0)
        fail(texts::cannotWriteExportFile, errno);
    size_ = blockStart_;
}

void ReplacedFile::commit() {
    // On disk before it takes the old file's place: a crash then leaves
    // either file whole, never an empty new one.
    if (::fsync(fd_) != 0)
        fail(texts::cannotWriteExportFile, errno);
    const int closed = ::close(fd_);
    fd_ = -1;
    if (closed != 0)
        fail(texts::cannotWriteExportFile, errno);
    if (::rename(QFile::encodeName(temporary_).constData(),
                 QFile::encodeName(destination_).constData()) != 0)
        fail(texts::cannotReplaceExportFile, errno);
    temporary_.clear();
}

void ReplacedFile::abandon() noexcept {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    if (!temporary_.isEmpty()) {
        ::unlink(QFile::encodeName(temporary_).constData());
        temporary_.clear();
    }
}

}  // namespace brivano::exporter
