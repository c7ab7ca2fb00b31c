#include "export/ExportFile.h"

#include <QDir>

#include "db/Error.h"
#include "export/ExportFormat.h"
#include "texts/Texts.h"

namespace brivano::exporter {
namespace {

// Room beyond a full buffer for the line that fills it: a line up to this
// size never reallocates the buffer (a longer one grows it once, for good).
constexpr qsizetype kBufferSlack = qsizetype{64} << 10;

}  // namespace

ExportFile::ExportFile(QString path, int codePage, qsizetype bufferSize)
    : path_(std::move(path)), codePage_(codePage), bufferSize_(bufferSize) {}

ExportFile::~ExportFile() = default;  // an uncommitted target discards itself

template <typename Step>
void ExportFile::onTarget(Step&& step) {
    try {
        step();
    } catch (const Error&) {
        target_.reset();
        buffer_.clear();
        state_ = State::Failed;
        throw;
    }
}

void ExportFile::lock() {
    if (locked_)
        return;
    onTarget([&] { lock_ = ExportTarget::lock(path_); });
    locked_ = true;
}

void ExportFile::open() {
    if (state_ == State::Open)
        throw Error(0, texts::exportFileAlreadyOpen(QDir::toNativeSeparators(path_)));
    lock();
    onTarget([&] { target_ = ExportTarget::open(path_); });
    buffer_.reserve(bufferSize_ + kBufferSlack);
    buffer_.clear();
    state_ = State::Open;
}

void ExportFile::writeLine(QByteArrayView line) {
    if (state_ == State::Failed)
        return;  // already reported; the file will be discarded
    if (state_ != State::Open)
        throw Error(0, texts::exportFileNotOpen(QDir::toNativeSeparators(path_)));
    buffer_.append(line);
    buffer_.append(kLineEnd);
    if (buffer_.size() >= bufferSize_)
        flush();
}

void ExportFile::flush() {
    if (buffer_.isEmpty())
        return;
    onTarget([&] { target_->write(buffer_.view()); });
    buffer_.clear();  // keeps its capacity for the next lines
}

void ExportFile::beginBlock() {
    if (state_ != State::Open)
        return;
    flush();
    onTarget([&] { target_->beginBlock(); });
}

void ExportFile::endBlock() {
    if (state_ != State::Open)
        return;
    flush();
    onTarget([&] { target_->endBlock(); });
}

void ExportFile::discardBlock() {
    if (state_ != State::Open)
        return;
    buffer_.clear();
    onTarget([&] { target_->discardBlock(); });
}

std::optional<Error> ExportFile::close() {
    std::optional<Error> afterReplacing;
    if (state_ == State::Open) {
        flush();
        onTarget([&] { afterReplacing = target_->commit(); });
    }
    target_.reset();
    unlock();
    state_ = State::Closed;
    return afterReplacing;
}

void ExportFile::abandon() {
    if (target_)
        target_->abandon();
    target_.reset();
    unlock();
    buffer_.clear();
    state_ = State::Closed;
}

void ExportFile::unlock() {
    lock_.release();
    locked_ = false;
}

}  // namespace brivano::exporter
