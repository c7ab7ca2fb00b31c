// Export files of any content, read back as brivano-check reads them,
// under a locale with a decimal comma and one without.
#include <QLocale>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "ScratchFile.h"
#include "db/Error.h"
#include "export/ExportFileReader.h"

namespace {

// Takes every row too, so that the entries are handed over.
class Visitor final : public brivano::exporter::ExportFileVisitor {
  public:
    void blockRead(const brivano::exporter::ExportBlock& block) override {
        problems_ += block.problemCount;
    }
    bool wantsRows() const override { return true; }
    void dataRow(const brivano::exporter::ExportBlock&, std::int64_t,
                 const std::vector<brivano::exporter::ExportEntry>& entries) override {
        for (const auto& entry : entries)
            bytes_ += entry.text.size();
    }

  private:
    std::int64_t problems_ = 0;
    std::int64_t bytes_ = 0;
};

brivano::exporter::ExportFileReader::Settings settings(bool decimalComma) {
    brivano::exporter::ExportFileReader::Settings settings;
    settings.codePage = 1252;
    settings.commas = {decimalComma, false};
    // Small buffers, so that lines grow them and some are too long.
    settings.bufferBytes = 16;
    settings.mostLineBytes = 256;
    return settings;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace brivano;
    const QString path = writeScratchFile("export.txt", data, size);
    // The system's settings are looked up once: that is not what is fuzzed.
    static const exporter::ExportFileReader::Settings kPoint = settings(false);
    static const exporter::ExportFileReader::Settings kComma = settings(true);
    for (const auto* settings : {&kPoint, &kComma}) {
        Visitor visitor;
        try {
            exporter::ExportFileReader(path, *settings).read(visitor);
        } catch (const Error&) {
        }
    }
    return 0;
}
