#include "export/ReplacedFile.h"

#include <QDir>

#include "db/Error.h"
#include "texts/Texts.h"

namespace brivano::exporter {

ReplacedFile::ReplacedFile(const QString& destination, QString shownPath)
    : shownPath_(std::move(shownPath)) {
    std::error_code error;
    file_ = platform::ReplacementFile::create(destination, error);
    if (error)
        fail(texts::cannotCreateExportFile, error);
}

ReplacedFile::~ReplacedFile() {
    abandon();
}

void ReplacedFile::fail(QString (*what)(const QString& path), std::error_code error) {
    abandon();
    throw Error(error.value(),
                texts::withReason(what(QDir::toNativeSeparators(shownPath_)), error.value()));
}

void ReplacedFile::write(QByteArrayView bytes) {
    if (const std::error_code error = file_.write(bytes))
        fail(texts::cannotWriteExportFile, error);
    size_ += bytes.size();
}

void ReplacedFile::discardBlock() {
    if (const std::error_code error = file_.truncate(blockStart_))
        fail(texts::cannotWriteExportFile, error);
    size_ = blockStart_;
}

std::optional<Error> ReplacedFile::commit() {
    if (const std::error_code error = file_.finishWriting())
        fail(texts::cannotWriteExportFile, error);
    if (const std::error_code error = file_.replaceDestination())
        fail(texts::cannotReplaceExportFile, error);
    // The new file is in place; a crash could still bring the old one back.
    if (const std::error_code error = file_.syncFolder())
        return Error(
            error.value(),
            texts::withReason(texts::exportFolderNotSynced(QDir::toNativeSeparators(shownPath_)),
                              error.value()));
    return std::nullopt;
}

void ReplacedFile::abandon() noexcept {
    file_.discard();
}

}  // namespace brivano::exporter
