#include "platform/PrintSpool.h"

#include <cups/cups.h>

#include <QFile>

#include "texts/Error.h"
#include "texts/Texts.h"

namespace brivano::platform {
namespace {

constexpr QChar kInstanceSeparator = u'/';

// The options of one CUPS job; libcups allocates them.
class JobOptions {
  public:
    JobOptions() = default;
    ~JobOptions() { cupsFreeOptions(count_, options_); }
    JobOptions(const JobOptions&) = delete;
    JobOptions& operator=(const JobOptions&) = delete;

    void add(const char* name, const QByteArray& value) {
        count_ = cupsAddOption(name, value.constData(), count_, &options_);
    }
    int count() const { return count_; }
    cups_option_t* options() const { return options_; }

  private:
    int count_ = 0;
    cups_option_t* options_ = nullptr;
};

}  // namespace

bool printsThroughSpoolFile() {
    // Qt's own CUPS path drops the spooler's answer, so a queue that
    // refuses the job would look like a success; submitting the file here
    // turns the refusal into an Error that carries the spooler's reason.
    return true;
}

void submitPrintFile(const QString& queue, const QString& file, const QString& title,
                     const QByteArray& mediaKey) {
    const QString base = queue.section(kInstanceSeparator, 0, 0);
    JobOptions options;
    options.add("media", mediaKey);
    const int job = cupsPrintFile(base.toUtf8().constData(), QFile::encodeName(file).constData(),
                                  title.toUtf8().constData(), options.count(), options.options());
    if (job == 0) {
        throw Error(cupsLastError(), texts::printFailed(QString::fromUtf8(cupsLastErrorString())));
    }
}

}  // namespace brivano::platform
