#include "platform/PrintSpool.h"

#include "texts/Error.h"
#include "texts/Texts.h"

namespace brivano::platform {

// Qt's Windows print engine draws straight into the printer's device
// context and hands the job to the spooler itself: no spool file here.
bool printsThroughSpoolFile() {
    return false;
}

void submitPrintFile(const QString& queue, const QString& file, const QString& title,
                     const QByteArray& mediaKey) {
    // Never called where printsThroughSpoolFile() is false; should it be,
    // the document must not look printed.
    (void)file;
    (void)title;
    (void)mediaKey;
    throw Error(0, texts::printFailed(texts::cannotPrepareForPrinter(queue)));
}

}  // namespace brivano::platform
