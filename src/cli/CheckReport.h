#pragma once

#include <QString>
#include <QStringList>
#include <cstdio>

#include "export/ExportFileReader.h"

namespace brivano::cli {

// What brivano-check says of each block as the reader finishes it: one
// summary line, and with `verbose` every problem line after it.
class CheckReport : public exporter::ExportFileVisitor {
  public:
    // Line numbers shown in a summary line; the rest are counted.
    static constexpr int kShownLines = 5;

    CheckReport(std::FILE* out, bool verbose);

    void blockRead(const exporter::ExportBlock& block) override;
    // True while every block read so far reads back unambiguously.
    bool allReadBack() const { return allReadBack_; }

    static QString summary(const exporter::ExportBlock& block);
    static QStringList details(const exporter::ExportBlock& block);

  private:
    void print(const QString& line);

    std::FILE* out_;
    bool verbose_;
    bool allReadBack_ = true;
};

}  // namespace brivano::cli
