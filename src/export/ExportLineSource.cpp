#include "export/ExportLineSource.h"

#include <algorithm>
#include <cstring>

#include "db/Error.h"
#include "texts/Texts.h"

namespace brivano::exporter {
namespace {

constexpr char kCarriageReturn = '\r';
constexpr char kLineFeed = '\n';

}  // namespace

void ExportLineSource::fail(std::error_code error) const {
    throw Error(error.value(),
                texts::withReason(texts::cannotReadExportFile(path_), error.value()));
}

ExportLineSource::ExportLineSource(QString path, qsizetype bufferSize, qsizetype mostLineBytes)
    : path_(std::move(path)),
      buffer_(std::make_unique_for_overwrite<char[]>(static_cast<size_t>(bufferSize))),
      capacity_(bufferSize),
      mostLineBytes_(std::max(mostLineBytes, bufferSize)) {
    std::error_code error;
    file_ = platform::File::openForSequentialReading(path_, error);
    if (error)
        fail(error);
}

ExportLineSource::~ExportLineSource() = default;

bool ExportLineSource::refill() {
    if (atEnd_)
        return false;
    if (begin_ > 0) {
        std::memmove(buffer_.get(), buffer_.get() + begin_, static_cast<size_t>(end_ - begin_));
        end_ -= begin_;
        scanned_ -= begin_;
        begin_ = 0;
    }
    if (end_ == capacity_) {
        // One line longer than the buffer: it gets room for itself.
        const qsizetype grown = std::min(capacity_ * 2, mostLineBytes_);
        auto bigger = std::make_unique_for_overwrite<char[]>(static_cast<size_t>(grown));
        std::memcpy(bigger.get(), buffer_.get(), static_cast<size_t>(end_));
        buffer_ = std::move(bigger);
        capacity_ = grown;
    }
    qsizetype read = 0;
    if (const std::error_code error = file_.read(buffer_.get() + end_, capacity_ - end_, read))
        fail(error);
    if (read == 0) {
        atEnd_ = true;
        return false;
    }
    end_ += read;
    return true;
}

bool ExportLineSource::skipRestOfLine() {
    // What is held goes; only whether it ended in a CR is kept, for a
    // CR LF that falls across two reads.
    bool afterCarriageReturn = end_ > begin_ && buffer_[end_ - 1] == kCarriageReturn;
    for (;;) {
        begin_ = scanned_ = end_ = 0;
        if (!refill())
            return false;
        const char* base = buffer_.get();
        for (const char* at = base;
             (at = static_cast<const char*>(std::memchr(at, kLineFeed, end_ - (at - base))));
             ++at) {
            const bool cr = at == base ? afterCarriageReturn : at[-1] == kCarriageReturn;
            if (cr) {
                begin_ = scanned_ = at + 1 - base;
                skipping_ = false;
                return true;
            }
        }
        afterCarriageReturn = base[end_ - 1] == kCarriageReturn;
    }
}

bool ExportLineSource::next(PhysicalLine& line) {
    if (skipping_ && !skipRestOfLine())
        return false;
    line.hasBreak = false;
    line.tooLong = false;
    for (;;) {
        const char* base = buffer_.get();
        const void* found =
            std::memchr(base + scanned_, kLineFeed, static_cast<size_t>(end_ - scanned_));
        if (found != nullptr) {
            const qsizetype at = static_cast<const char*>(found) - base;
            scanned_ = at + 1;
            if (at == begin_ || base[at - 1] != kCarriageReturn) {
                line.hasBreak = true;  // a line feed alone: the line goes on
                continue;
            }
            line.bytes = QByteArrayView(base + begin_, at - 1 - begin_);
            line.terminated = true;
            begin_ = scanned_;
            break;
        }
        scanned_ = end_;
        if (end_ - begin_ >= mostLineBytes_) {
            // Its CR LF is still to come: the line is longer than a line
            // may be held. Its first bytes say what kind of line it is.
            line.bytes = QByteArrayView(base + begin_, end_ - begin_);
            line.terminated = true;
            line.tooLong = true;
            skipping_ = true;
            line.number = ++lineNumber_;
            return true;
        }
        if (!refill()) {
            if (begin_ == end_)
                return false;
            line.bytes = QByteArrayView(buffer_.get() + begin_, end_ - begin_);
            line.terminated = false;
            begin_ = scanned_ = end_;
            break;
        }
    }
    line.number = ++lineNumber_;
    if (!line.hasBreak)
        line.hasBreak = std::memchr(line.bytes.data(), kCarriageReturn,
                                    static_cast<size_t>(line.bytes.size())) != nullptr;
    return true;
}

}  // namespace brivano::exporter
