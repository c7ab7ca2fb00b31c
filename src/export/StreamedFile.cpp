#include "export/StreamedFile.h"

#include <QDir>

#include "db/Error.h"
#include "texts/Texts.h"

namespace brivano::exporter {
namespace {

constexpr qsizetype kCopyChunk = qsizetype{1} << 20;

}  // namespace

StreamedFile::StreamedFile(platform::File file, QString shownPath)
    : file_(std::move(file)), shownPath_(std::move(shownPath)) {}

StreamedFile::~StreamedFile() {
    abandon();
}

void StreamedFile::fail(std::error_code error) {
    throw Error(
        error.value(),
        texts::withReason(texts::cannotWriteExportFile(QDir::toNativeSeparators(shownPath_)),
                          error.value()));
}

void StreamedFile::writeOut(QByteArrayView bytes) {
    if (const std::error_code error = file_.write(bytes))
        fail(error);
}

void StreamedFile::write(QByteArrayView bytes) {
    if (!inBlock_) {
        writeOut(bytes);
        return;
    }
    held_.append(bytes);
    if (held_.size() >= kHeldInMemory)
        spill();
}

void StreamedFile::spill() {
    if (!scratch_.isOpen()) {
        std::error_code error;
        scratch_ = platform::File::openScratch(error);
        if (error)
            fail(error);
    }
    if (const std::error_code error = scratch_.write(held_))
        fail(error);
    held_.resize(0);
}

void StreamedFile::endBlock() {
    inBlock_ = false;
    if (scratch_.isOpen()) {
        if (const std::error_code error = scratch_.seek(0))
            fail(error);
        QByteArray chunk(kCopyChunk, Qt::Uninitialized);
        for (;;) {
            qsizetype read = 0;
            if (const std::error_code error = scratch_.read(chunk.data(), kCopyChunk, read))
                fail(error);
            if (read == 0)
                break;
            writeOut(QByteArrayView(chunk.constData(), read));
        }
        dropScratch();
    }
    writeOut(held_);
    held_.resize(0);
}

void StreamedFile::discardBlock() {
    inBlock_ = false;
    held_.resize(0);
    dropScratch();
}

std::optional<Error> StreamedFile::commit() {
    if (inBlock_)
        endBlock();
    if (const std::error_code error = file_.close())
        fail(error);
    return std::nullopt;
}

void StreamedFile::dropScratch() noexcept {
    scratch_ = platform::File();
}

void StreamedFile::abandon() noexcept {
    held_.clear();
    dropScratch();
    file_ = platform::File();
}

}  // namespace brivano::exporter
