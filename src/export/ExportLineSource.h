#pragma once

#include <QByteArrayView>
#include <QString>
#include <cstdint>
#include <memory>
#include <system_error>

#include "platform/Files.h"

namespace brivano::exporter {

// One line of an export file as it lies in the file.
struct PhysicalLine {
    QByteArrayView bytes;     // without its CR LF
    std::int64_t number = 0;  // from 1
    bool terminated = false;  // false: the file ends inside it
    bool hasBreak = false;    // holds a CR or an LF that is not its end
    // Longer than the source holds: `bytes` are only its first ones, and
    // the rest of it is passed over unread.
    bool tooLong = false;
};

// Hands out the lines of a file, each ended by CR LF, in one pass through
// a large buffer: reading a line copies nothing and allocates nothing,
// unless it is longer than the buffer, which then grows to hold it, up to
// `mostLineBytes`. A longer line is handed out as tooLong and the rest of
// it skipped in pieces, so memory stays bounded whatever the file holds.
class ExportLineSource {
  public:
    static constexpr qsizetype kBufferSize = qsizetype{4} << 20;
    // The longest line held, CR LF included: sixteen buffers.
    static constexpr qsizetype kMostLineBytes = qsizetype{64} << 20;

    // Opens the file; throws Error when it cannot be opened.
    explicit ExportLineSource(QString path, qsizetype bufferSize = kBufferSize,
                              qsizetype mostLineBytes = kMostLineBytes);
    ~ExportLineSource();
    ExportLineSource(const ExportLineSource&) = delete;
    ExportLineSource& operator=(const ExportLineSource&) = delete;

    // The next line, valid until the next call; false at the end of the
    // file. Throws Error when the file cannot be read.
    bool next(PhysicalLine& line);

  private:
    // Moves what is left to the front and reads more after it; false when
    // the file has nothing more.
    bool refill();
    // Reads past the rest of a line that was too long, up to its CR LF;
    // false when the file ends first.
    bool skipRestOfLine();
    [[noreturn]] void fail(std::error_code error) const;

    QString path_;
    platform::File file_;
    std::unique_ptr<char[]> buffer_;
    qsizetype capacity_;
    qsizetype mostLineBytes_;
    qsizetype begin_ = 0;    // the next line starts here
    qsizetype end_ = 0;      // bytes read so far end here
    qsizetype scanned_ = 0;  // no line end between begin_ and here
    bool atEnd_ = false;
    bool skipping_ = false;  // the line last handed out was too long
    std::int64_t lineNumber_ = 0;
};

}  // namespace brivano::exporter
