#pragma once

#include <QByteArrayView>
#include <QString>
#include <cstdint>
#include <vector>

#include "export/DataLineSplitter.h"
#include "export/EntryForms.h"
#include "export/ExportBlock.h"
#include "export/ExportLineSource.h"
#include "export/ValueText.h"
#include "platform/AnsiCodePage.h"

namespace brivano::exporter {

// What a caller of ExportFileReader hears of the file, block by block.
class ExportFileVisitor {
  public:
    virtual ~ExportFileVisitor() = default;
    // A block read to its end (the next header, or the end of the file).
    virtual void blockRead(const ExportBlock& block) = 0;
    // Whether dataRow() is wanted: the entries are handed over only then.
    virtual bool wantsRows() const { return false; }
    // A data line that reads back unambiguously, one entry per column.
    virtual void dataRow(const ExportBlock& /*block*/, std::int64_t /*line*/,
                         const std::vector<ExportEntry>& /*entries*/) {}
};

// Reads an export file back in one pass, block by block, the way the
// loading installation does, and tells of each block what its header
// announces, what was found, and every line that does not read back as it
// was written. Memory stays flat: lines are looked at where they lie in the
// read buffer, and each block keeps only its first problems.
class ExportFileReader {
  public:
    struct Settings {
        int codePage = platform::systemCodePage();  // the names' code page
        // Which plain values hold a comma: the exporting user's settings.
        CommaSettings commas = CommaSettings::of(regionalSettings());
        // The line source's buffer and longest line held (ExportLineSource).
        qsizetype bufferBytes = ExportLineSource::kBufferSize;
        qsizetype mostLineBytes = ExportLineSource::kMostLineBytes;
    };

    ExportFileReader(QString path, Settings settings);

    // Throws Error when the file cannot be opened or read, or is no export
    // file (empty, or not starting with a header line).
    void read(ExportFileVisitor& visitor);

  private:
    enum class Expect : std::uint8_t { Names, Types, Sizes, Attributes, Rows };

    void readLine(const PhysicalLine& line);
    void readLineByKind(const PhysicalLine& line);
    void readColumnLine(const PhysicalLine& line);
    void readDataLine(const PhysicalLine& line);
    void readOtherLine(const PhysicalLine& line);
    // Starts the block of a header line; false when the line is none.
    bool startBlock(const PhysicalLine& line);
    void finishBlock();
    void readNames(const PhysicalLine& line);
    void readNumbers(const PhysicalLine& line, Expect kind);
    void setForms();
    void addProblem(std::int64_t line, LineFault fault, std::vector<std::int32_t> columns = {});
    // Every problem of a line goes through here, with the faults that the
    // line shows whatever its kind.
    void keepProblem(LineProblem problem);
    QString decode(QByteArrayView bytes) const;

    QString path_;
    Settings settings_;
    ExportFileVisitor* visitor_ = nullptr;
    ExportBlock block_;
    bool inBlock_ = false;
    Expect expect_ = Expect::Names;
    DataLineSplitter splitter_;
    LineProblem problem_;
    // Of the line being read: faults seen in its bytes, and whether a
    // problem of it was kept already.
    std::uint16_t lineFaults_ = 0;
    bool lineKept_ = false;
    // The data line that a CR LF split, while its pieces follow.
    std::int64_t splitLine_ = 0;
    std::vector<std::int32_t> splitColumns_;
};

}  // namespace brivano::exporter
