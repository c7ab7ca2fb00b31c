#include "export/StreamedFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <cerrno>

#include "db/Error.h"
#include "texts/Texts.h"

namespace brivano::exporter {
namespace {

constexpr qsizetype kCopyChunk = qsizetype{1} << 20;

}  // namespace

StreamedFile::StreamedFile(int fd, QString shownPath, bool owned)
    : fd_(fd), shownPath_(std::move(shownPath)), owned_(owned) {}

StreamedFile::~StreamedFile() {
    abandon();
}

void StreamedFile::fail(int errorNumber) {
    throw Error(errorNumber, texts::withReason(
                                 texts::cannotWriteExportFile(QDir::toNativeSeparators(shownPath_)),
                                 errorNumber));
}

void StreamedFile::writeOut(QByteArrayView bytes) {
    if (!writeAll(fd_, bytes))
        fail(errno);
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
    if (scratch_ < 0) {
        const QByteArray folder = QFile::encodeName(QDir::tempPath());
        scratch_ = ::open(folder.constData(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
        if (scratch_ < 0)
            fail(errno);
    }
    if (!writeAll(scratch_, held_))
        fail(errno);
    held_.resize(0);
}

void StreamedFile::endBlock() {
    inBlock_ = false;
    if (scratch_ >= 0) {
        if (::lseek(scratch_, 0, SEEK_SET) < 0)
            fail(errno);
        QByteArray chunk(kCopyChunk, Qt::Uninitialized);
        for (;;) {
            const ssize_t read = ::read(scratch_, chunk.data(), static_cast<size_t>(kCopyChunk));
            if (read < 0 && errno == EINTR)
                continue;
            if (read < 0)
                fail(errno);
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

void StreamedFile::commit() {
    if (inBlock_)
        endBlock();
    if (owned_) {
        const int closed = ::close(fd_);
        owned_ = false;
        if (closed != 0)
            fail(errno);
    }
}

void StreamedFile::dropScratch() noexcept {
    if (scratch_ >= 0) {
        ::close(scratch_);
        scratch_ = -1;
    }
}

void StreamedFile::abandon() noexcept {
    held_.clear();
    dropScratch();
    if (owned_) {
        ::close(fd_);
        owned_ = false;
    }
}

}  // namespace brivano::exporter
