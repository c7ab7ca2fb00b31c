#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <memory>

#include "export/CodePage.h"

class QSaveFile;

namespace brivano::exporter {

// The export file: whole lines, each ended by CR LF, in an ANSI code page,
// gathered in a large buffer and written in big pieces. The lines go to a
// temporary file beside the destination, which takes the destination's place
// only when close() succeeds; a file abandoned or failed leaves any previous
// export untouched.
//
// Every failure throws Error once. After a failure the file is dead: later
// lines are dropped and close() discards it without raising again, so the
// operator hears of one broken file exactly once.
class ExportFile {
  public:
    static constexpr qsizetype kDefaultBufferSize = qsizetype{1} << 20;

    // Throws Error when the code page is not available.
    explicit ExportFile(QString path, int codePage = db::systemCodePage(),
                        qsizetype bufferSize = kDefaultBufferSize);
    ~ExportFile();
    ExportFile(const ExportFile&) = delete;
    ExportFile& operator=(const ExportFile&) = delete;

    // Creates the temporary file. Throws Error when it cannot be created.
    void open();
    // Appends `line`, already in the file's code page, and CR LF. Throws
    // Error when a write fails.
    void writeLine(QByteArrayView line);
    // Writes what is buffered and puts the new file in place of the old one.
    // Throws Error when that fails; the old file then stays.
    void close();
    // Throws the new file away; the old one stays.
    void abandon();

    bool isOpen() const { return state_ == State::Open; }
    bool hasFailed() const { return state_ == State::Failed; }
    const QString& path() const { return path_; }
    // The encoder of the file's code page, for the lines' text.
    CodePage& codePage() { return codePage_; }

  private:
    enum class State { Closed, Open, Failed };

    void flush();
    [[noreturn]] void fail(QString (*what)(const QString& path));

    QString path_;
    CodePage codePage_;
    qsizetype bufferSize_;
    QByteArray buffer_;
    std::unique_ptr<QSaveFile> file_;
    State state_ = State::Closed;
};

}  // namespace brivano::exporter
