#pragma once

#include <QString>
#include <system_error>

#include "export/ExportTarget.h"
#include "platform/Files.h"

namespace brivano::exporter {

// A plain file written to a new file beside it, which takes its place on
// commit (keeping the old file's permissions; see platform::ReplacementFile);
// a block is taken back by cutting the new file where the block began.
class ReplacedFile final : public ExportTarget {
  public:
    // `destination` is where the file goes (a symlink's target), `shownPath`
    // the path that messages name.
    ReplacedFile(const QString& destination, QString shownPath);
    ~ReplacedFile() override;

    void write(QByteArrayView bytes) override;
    void beginBlock() override { blockStart_ = size_; }
    void endBlock() override {}
    void discardBlock() override;
    std::optional<Error> commit() override;
    void abandon() noexcept override;

  private:
    [[noreturn]] void fail(QString (*what)(const QString& path), std::error_code error);

    QString shownPath_;
    platform::ReplacementFile file_;
    qint64 size_ = 0;
    qint64 blockStart_ = 0;
};

}  // namespace brivano::exporter
