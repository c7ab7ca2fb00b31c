#pragma once

#include <QByteArray>
#include <QString>

#include "export/ExportTarget.h"

namespace brivano::exporter {

// A character device, a FIFO or standard output, written straight through.
// The lines of an open block are held back until the block ends: in memory
// up to kHeldInMemory bytes, beyond that in an unlinked scratch file, so
// that a block taken back never reached the reader.
class StreamedFile final : public ExportTarget {
  public:
    static constexpr qsizetype kHeldInMemory = qsizetype{8} << 20;

    // `owned`: the descriptor is closed at the end (not standard output's).
    StreamedFile(int fd, QString shownPath, bool owned);
    ~StreamedFile() override;

    void write(QByteArrayView bytes) override;
    void beginBlock() override { inBlock_ = true; }
    void endBlock() override;
    void discardBlock() override;
    void commit() override;
    void abandon() noexcept override;

  private:
    void writeOut(QByteArrayView bytes);
    void spill();
    void dropScratch() noexcept;
    [[noreturn]] void fail(int errorNumber);

    int fd_;
    QString shownPath_;
    bool owned_;
    bool inBlock_ = false;
    QByteArray held_;
    int scratch_ = -1;  // the held bytes beyond memory's share, when there are
};

}  // namespace brivano::exporter
