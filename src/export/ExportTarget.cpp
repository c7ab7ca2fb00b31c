#include "export/ExportTarget.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFileInfo>
#include <cerrno>
#include <climits>

#include "db/Error.h"
#include "export/ReplacedFile.h"
#include "export/StreamedFile.h"
#include "texts/Texts.h"

namespace brivano::exporter {
namespace {

constexpr int kMaxLinks = 40;
constexpr QStringView kStandardOutput = u"-";

QString shown(const QString& path) {
    return QDir::toNativeSeparators(path);
}

[[noreturn]] void failCreating(const QString& path, int errorNumber) {
    throw Error(errorNumber,
                texts::withReason(texts::cannotCreateExportFile(shown(path)), errorNumber));
}

// Follows a chain of symbolic links to the path it ends at, which need not
// exist yet (a link to a file still to be written).
QString finalPath(const QString& path) {
    QString current = path;
    for (int hop = 0; hop < kMaxLinks; ++hop) {
        struct stat status {};
        if (::lstat(QFile::encodeName(current).constData(), &status) != 0 ||
            !S_ISLNK(status.st_mode))
            return current;
        const QString target = QFileInfo(current).symLinkTarget();
        if (target.isEmpty())
            return current;
        current = target;
    }
    failCreating(path, ELOOP);
}

enum class Kind { Missing, File, Stream, Folder, Other };

Kind kindOf(const QString& path, int& errorNumber) {
    struct stat status {};
    if (::stat(QFile::encodeName(path).constData(), &status) != 0) {
        errorNumber = errno;
        return Kind::Missing;
    }
    if (S_ISREG(status.st_mode))
        return Kind::File;
    if (S_ISCHR(status.st_mode) || S_ISFIFO(status.st_mode))
        return Kind::Stream;
    if (S_ISDIR(status.st_mode))
        return Kind::Folder;
    return Kind::Other;
}

}  // namespace

bool writeAll(int fd, QByteArrayView bytes) {
    const char* at = bytes.data();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, at, static_cast<size_t>(left));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        at += written;
        left -= written;
    }
    return true;
}

QString ExportTarget::refusal(const QString& path) {
    if (path == kStandardOutput)
        return {};
    const QString destination = finalPath(path);
    int errorNumber = 0;
    switch (kindOf(destination, errorNumber)) {
        case Kind::Folder:
            return texts::exportFileIsFolder(shown(path));
        case Kind::Other:
            return texts::exportFileIsNoFile(shown(path));
        case Kind::Missing:
            if (errorNumber != ENOENT)
                return texts::withReason(texts::cannotCreateExportFile(shown(path)), errorNumber);
            break;
        case Kind::File:
        case Kind::Stream:
            break;
    }
    return {};
}

std::unique_ptr<ExportTarget> ExportTarget::open(const QString& path) {
    if (path == kStandardOutput)
        return std::make_unique<StreamedFile>(STDOUT_FILENO, QStringLiteral("-"), false);
    const QString destination = finalPath(path);
    int errorNumber = 0;
    switch (kindOf(destination, errorNumber)) {
        case Kind::Folder:
            throw Error(EISDIR, texts::exportFileIsFolder(shown(path)));
        case Kind::Other:
            throw Error(0, texts::exportFileIsNoFile(shown(path)));
        case Kind::Stream: {
            const int fd =
                ::open(QFile::encodeName(destination).constData(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
            if (fd < 0)
                failCreating(path, errno);
            return std::make_unique<StreamedFile>(fd, path, true);
        }
        case Kind::Missing:
            if (errorNumber != ENOENT)
                failCreating(path, errorNumber);
            break;
        case Kind::File:
            break;
    }
    return std::make_unique<ReplacedFile>(destination, path);
}

}  // namespace brivano::exporter
