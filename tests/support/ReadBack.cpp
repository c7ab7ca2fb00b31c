#include "support/ReadBack.h"

#include <QTemporaryFile>

#include "db/Error.h"

namespace brivano::test {
namespace {

class Collector : public exporter::ExportFileVisitor {
  public:
    explicit Collector(ReadBackFile& file) : file_(file) {}

    void blockRead(const exporter::ExportBlock& block) override { file_.blocks.push_back(block); }
    bool wantsRows() const override { return true; }
    void dataRow(const exporter::ExportBlock& block, std::int64_t line,
                 const std::vector<exporter::ExportEntry>& entries) override {
        ReadRow row{block.name, line, {}};
        for (const exporter::ExportEntry& entry : entries) {
            if (entry.isNull())
                row.entries.emplace_back(std::nullopt);
            else
                row.entries.emplace_back(std::string(entry.text.data(), entry.text.size()));
        }
        file_.rows.push_back(std::move(row));
    }

  private:
    ReadBackFile& file_;
};

std::string describe(const exporter::ExportBlock& block) {
    std::string text = block.name.toStdString() + ": " + std::to_string(block.rowsFound) +
                       " data lines of " + std::to_string(block.rowsAnnounced()) + " announced";
    for (const exporter::LineProblem& problem : block.problems) {
        text += "\n  line " + std::to_string(problem.line) + ", faults " +
                std::to_string(problem.faults) + ", columns";
        for (const std::int32_t column : problem.columns)
            text += " " + block.columns.at(static_cast<std::size_t>(column)).name.toStdString();
    }
    return text;
}

}  // namespace

std::vector<std::vector<ReadEntry>> ReadBackFile::rowsOf(const QString& table) const {
    std::vector<std::vector<ReadEntry>> found;
    for (const ReadRow& row : rows) {
        if (row.table == table)
            found.push_back(row.entries);
    }
    return found;
}

ReadBackFile readBack(const QString& path, const ReaderSettings& settings) {
    ReadBackFile file;
    Collector collector(file);
    exporter::ExportFileReader(path, settings).read(collector);
    return file;
}

ReadBackFile readBackBytes(const QByteArray& bytes, const ReaderSettings& settings) {
    QTemporaryFile file;
    if (!file.open() || file.write(bytes) != bytes.size() || !file.flush())
        throw Error(0, QStringLiteral("cannot write %1").arg(file.fileName()));
    return readBack(file.fileName(), settings);
}

::testing::AssertionResult readsBackUnambiguously(const QString& path,
                                                  const ReaderSettings& settings) {
    ReadBackFile file;
    try {
        file = readBack(path, settings);
    } catch (const Error& error) {
        return ::testing::AssertionFailure() << error.description().toStdString();
    }
    std::string problems;
    for (const exporter::ExportBlock& block : file.blocks) {
        if (!block.readsBack())
            problems += describe(block) + "\n";
    }
    if (!problems.empty())
        return ::testing::AssertionFailure() << problems;
    return ::testing::AssertionSuccess() << file.blocks.size() << " blocks read back";
}

}  // namespace brivano::test
