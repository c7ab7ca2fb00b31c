#pragma once

#include <QByteArray>
#include <QString>
#include <system_error>

#include "export/ExportTarget.h"
#include "platform/Files.h"

namespace brivano::exporter {

// A character device, a FIFO or standard output, written straight through.
// The lines of an open block are held back until the block ends: in memory
// up to kHeldInMemory bytes, beyond that in an unnamed scratch file, so
// that a block taken back never reached the reader.
class StreamedFile final : public ExportTarget {
  public:
    static constexpr qsizetype kHeldInMemory = qsizetype{8} << 20;

    StreamedFile(platform::File file, QString shownPath);
    ~StreamedFile() override;

    void write(QByteArrayView bytes) override;
    void beginBlock() override { inBlock_ = true; }
    void endBlock() override;
    void discardBlock() override;
    std::optional<Error> commit() override;
    void abandon() noexcept override;

  private:
    void writeOut(QByteArrayView bytes);
    void spill();
    void dropScratch() noexcept;
    [[noreturn]] void fail(std::error_code error);

    platform::File file_;
    QString shownPath_;
    bool inBlock_ = false;
    QByteArray held_;
    platform::File scratch_;  // the held bytes beyond memory's share, when there are
};

}  // namespace brivano::exporter
