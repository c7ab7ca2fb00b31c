#include "platform/Files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <utility>

// What the companions of a destination are called, and the tidying of those
// that a killed writer left: the same on every system.
namespace brivano::platform {
namespace {

constexpr QLatin1StringView kReplacementMark(".brivano-");
constexpr QLatin1StringView kLockWord("lock");
constexpr qsizetype kUniqueLength = 6;

QString companionPrefix(const QString& destination) {
    return u'.' + QFileInfo(destination).fileName() + kReplacementMark;
}

bool isLetterOrDigit(QChar c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9');
}

}  // namespace

QString lockPathFor(const QString& destination) {
    const QFileInfo info(destination);
    return info.dir().filePath(companionPrefix(destination) + kLockWord);
}

QString hiddenReplacementPath(const QString& destination, QStringView unique) {
    const QFileInfo info(destination);
    return info.dir().filePath(companionPrefix(destination).append(unique));
}

bool isHiddenReplacementOf(const QString& destination, const QString& fileName) {
    const QString prefix = companionPrefix(destination);
    if (fileName.size() != prefix.size() + kUniqueLength || !fileName.startsWith(prefix))
        return false;
    for (qsizetype i = prefix.size(); i < fileName.size(); ++i) {
        if (!isLetterOrDigit(fileName.at(i)))
            return false;
    }
    return true;
}

void removeAbandonedReplacements(const QString& destination) {
    const QDir folder = QFileInfo(destination).dir();
    // Plain files only: a link or a folder of that name is nobody's
    // leftover. No name filter: the destination's name may hold a wildcard.
    const QStringList names =
        folder.entryList(QDir::Files | QDir::Hidden | QDir::NoSymLinks, QDir::NoSort);
    for (const QString& name : names) {
        if (isHiddenReplacementOf(destination, name))
            QFile::remove(folder.filePath(name));
    }
}

// Owning and handing over the new file is the same on every system; how
// it is made, finished and dropped is each system's own.
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

}  // namespace brivano::platform
