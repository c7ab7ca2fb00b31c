#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <memory>
#include <optional>

#include "export/ByteBuffer.h"
#include "export/CodePage.h"
#include "export/ExportTarget.h"

namespace brivano::exporter {

// The export file of one run: whole lines, each ended by CR LF, in an ANSI
// code page, gathered in a large buffer and written in big pieces to its
// target (see ExportTarget: a file replaced only when the run commits it,
// or a device, FIFO or standard output). A table's lines form a block that
// is written whole or taken back whole.
//
// Every failure throws Error once. After a failure the file is dead: later
// lines are dropped and close() discards it without raising again, so the
// operator hears of one broken file exactly once.
class ExportFile {
  public:
    static constexpr qsizetype kDefaultBufferSize = qsizetype{1} << 20;

    // Throws Error when the code page is not available.
    explicit ExportFile(QString path, int codePage = platform::systemCodePage(),
                        qsizetype bufferSize = kDefaultBufferSize);
    ~ExportFile();
    ExportFile(const ExportFile&) = delete;
    ExportFile& operator=(const ExportFile&) = delete;

    // Takes the file for this object until it is closed or abandoned: a
    // second ExportFile on the same file, in this process or another, is
    // refused meanwhile (see ExportTarget::lock). Throws Error when another
    // has it, or when it cannot be created. open() takes it when this did
    // not.
    void lock();
    // Opens the target. Throws Error when it cannot be opened or created.
    void open();
    // Appends `line`, already in the file's code page, and CR LF. Throws
    // Error when a write fails.
    void writeLine(QByteArrayView line);

    // The lines from beginBlock() on are kept by endBlock() and taken back
    // by discardBlock(), as if never written.
    void beginBlock();
    void endBlock();
    void discardBlock();

    // Writes what is buffered and makes the file final (a new file takes
    // the old one's place). Throws Error when that fails; the old file then
    // stays. Returns the failure of a step after the replacement: the new
    // file is in place, but may not outlive a crash.
    [[nodiscard]] std::optional<Error> close();
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
    void unlock();
    // Runs a step on the target; its failure kills the file and is raised.
    template <typename Step>
    void onTarget(Step&& step);

    QString path_;
    CodePage codePage_;
    qsizetype bufferSize_;
    ByteBuffer buffer_;
    // Declared before the target: a target that is dropped goes first.
    platform::FileLock lock_;
    bool locked_ = false;  // also for a target without a lock of its own
    std::unique_ptr<ExportTarget> target_;
    State state_ = State::Closed;
};

}  // namespace brivano::exporter
