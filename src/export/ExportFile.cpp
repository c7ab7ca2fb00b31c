#include "export/ExportFile.h"

#include <QDir>
#include <QSaveFile>

#include "db/Error.h"
#include "texts/Texts.h"

namespace brivano::exporter {
namespace {

constexpr char kLineEnd[] = "\r\n";
// Room beyond a full buffer for the line that fills it: a line up to this
// size never reallocates the buffer (a longer one grows it once, for good).
constexpr qsizetype kBufferSlack = qsizetype{64} << 10;

}  // namespace

ExportFile::ExportFile(QString path, int codePage, qsizetype bufferSize)
    : path_(std::move(path)), codePage_(codePage), bufferSize_(bufferSize) {}

ExportFile::~ExportFile() = default;  // an uncommitted QSaveFile removes its file

void ExportFile::open() {
    if (state_ == State::Open)
        throw Error(0, texts::exportFileAlreadyOpen(QDir::toNativeSeparators(path_)));
    file_ = std::make_unique<QSaveFile>(path_);
    // Writes go through our own buffer in large pieces.
    if (!file_->open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        fail(texts::cannotCreateExportFile);
    buffer_.reserve(bufferSize_ + kBufferSlack);
    buffer_.resize(0);
    state_ = State::Open;
}

void ExportFile::writeLine(QByteArrayView line) {
    if (state_ == State::Failed)
        return;  // already reported; the file will be discarded
    if (state_ != State::Open)
        throw Error(0, texts::exportFileNotOpen(QDir::toNativeSeparators(path_)));
    buffer_.append(line);
    buffer_.append(kLineEnd, sizeof kLineEnd - 1);
    if (buffer_.size() >= bufferSize_)
        flush();
}

void ExportFile::close() {
    if (state_ != State::Open) {
        file_.reset();
        state_ = State::Closed;
        return;
    }
    flush();
    if (!file_->commit())
        fail(texts::cannotReplaceExportFile);
    file_.reset();
    state_ = State::Closed;
}

void ExportFile::abandon() {
    file_.reset();
    buffer_.resize(0);
    state_ = State::Closed;
}

void ExportFile::flush() {
    if (buffer_.isEmpty())
        return;
    if (file_->write(buffer_) != buffer_.size())
        fail(texts::cannotWriteExportFile);
    buffer_.resize(0);  // keeps its capacity for the next lines
}

void ExportFile::fail(QString (*what)(const QString& path)) {
    const long number = file_ ? static_cast<long>(file_->error()) : 0;
    QString description = what(QDir::toNativeSeparators(path_));
    if (file_ && !file_->errorString().isEmpty())
        description += QStringLiteral(": ") + file_->errorString();
    file_.reset();  // removes the temporary file
    buffer_.resize(0);
    state_ = State::Failed;
    throw Error(number, description);
}

}  // namespace brivano::exporter
