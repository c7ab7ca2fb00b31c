#pragma once

#include <QByteArray>
#include <QString>

// How a finished document reaches a print queue.
namespace brivano::platform {

// True where a document for a print queue is written into a spool file
// that submitPrintFile() then hands to the queue (Linux, through CUPS);
// false where Qt prints straight to the printer (Windows).
bool printsThroughSpoolFile();

// Hands the document in `file` to the print queue `queue` (a user's saved
// instance, "queue/instance", prints on its queue) as the job `title`, on
// the paper Qt calls `mediaKey` ("A4"). Throws Error (texts::printFailed)
// with the spooler's reason when the queue refuses the job.
void submitPrintFile(const QString& queue, const QString& file, const QString& title,
                     const QByteArray& mediaKey);

}  // namespace brivano::platform
