#include "export/ExportRun.h"

#include "export/CodePage.h"
#include "export/ExportFile.h"
#include "export/TableBlockWriter.h"
#include "texts/Texts.h"

namespace brivano::exporter {
namespace {

// Sets a flag for the life of a scope, also when the scope is left by an
// exception.
class FlagScope {
  public:
    explicit FlagScope(bool& flag) : flag_(flag) { flag_ = true; }
    ~FlagScope() { flag_ = false; }
    FlagScope(const FlagScope&) = delete;
    FlagScope& operator=(const FlagScope&) = delete;

  private:
    bool& flag_;
};

}  // namespace

// The wait pointer from its setting to the end of the run, however it ends.
class ExportRun::WaitPointer {
  public:
    explicit WaitPointer(ExportHost& host) : host_(host) { host_.setWaitPointer(true); }
    ~WaitPointer() { host_.setWaitPointer(false); }
    WaitPointer(const WaitPointer&) = delete;
    WaitPointer& operator=(const WaitPointer&) = delete;

  private:
    ExportHost& host_;
};

ExportRun::ExportRun(ExportHost& host, QString exportFilePath, ConnectionFactory factory)
    : host_(host),
      exportFilePath_(std::move(exportFilePath)),
      factory_(std::move(factory)),
      codePage_(platform::systemCodePage()) {}

// A run always closes its connection; the connection object itself goes
// with the run object.
ExportRun::~ExportRun() = default;

void ExportRun::setCodePage(int number) {
    CodePage available(number);  // throws when the system does not know it
    codePage_ = number;
}

void ExportRun::RunExport() {
    // A start from inside the run's own yield would clear the list and
    // recreate the open file under the running tables: it is ignored.
    if (running_)
        return;
    FlagScope running(running_);
    reportCount_ = 0;
    tablesWritten_ = 0;
    stopReported_ = false;

    connString_ = host_.connectionText();
    host_.clearMessages();
    if (!anyTicked()) {
        host_.showMessage(texts::kNothingTicked.toString());
        return;
    }

    WaitPointer pointer(host_);
    const Outcome outcome = exportToFile();
    if (outcome == Outcome::Stopped)
        return;  // the host is going away: nobody is left to read a message
    host_.repaintMessages();
    switch (outcome) {
        case Outcome::Completed:
            host_.showMessage(texts::kExportCompleted.toString());
            break;
        case Outcome::CompletedWithErrors:
            host_.showMessage(texts::kExportCompletedWithErrors.toString());
            break;
        case Outcome::NotDone:
        case Outcome::Stopped:
            host_.showMessage(texts::kExportNotDone.toString());
            break;
    }
}  // the pointer returns to the default only after the message was closed

ExportRun::Outcome ExportRun::exportToFile() {
    ExportFile file(exportFilePath_, codePage_);
    // Another run on the same file is refused before it reads anything: the
    // export under way must not be lost under its file.
    try {
        file.lock();
    } catch (const Error& error) {
        ReportRunError(error);
        return Outcome::NotDone;
    }
    // A run that cannot write anything replaces nothing: without a
    // connection or a file no table is read, and the previous export stays.
    if (!openConnection())
        return host_.stopRequested() ? Outcome::Stopped : Outcome::NotDone;
    try {
        file.open();
    } catch (const Error& error) {
        ReportRunError(error);
        closeConnection();
        return Outcome::NotDone;
    }
    exportTickedTables(file);

    if (host_.stopRequested()) {
        // The unfinished file must not replace the previous export.
        file.abandon();
        closeConnection();
        return Outcome::Stopped;
    }
    // Nor does a file without any of its tables, or one that failed.
    if (file.hasFailed() || (tablesWritten_ == 0 && reportCount_ > 0)) {
        file.abandon();
        closeConnection();
        return Outcome::NotDone;
    }
    bool committed = true;
    try {
        // A failure after the replacement is reported, but the export is
        // there: the run completed, with errors.
        if (const std::optional<Error> afterReplacing = file.close())
            ReportRunError(*afterReplacing);
    } catch (const Error& error) {
        ReportRunError(error);
        committed = false;
    }
    closeConnection();
    if (!committed)
        return Outcome::NotDone;
    return reportCount_ == 0 ? Outcome::Completed : Outcome::CompletedWithErrors;
}

bool ExportRun::anyTicked() {
    for (int i = 0; i < kSlotCount; ++i) {
        if (host_.slotState(i) == Ticked)
            return true;
    }
    return false;
}

void ExportRun::exportTickedTables(ExportFile& file) {
    TableBlockWriter writer(conn_.get(), file, host_,
                            [this](const Error& error) { ReportRunError(error); });
    // Each slot is read when the loop reaches it: the operator may change
    // the selection while earlier tables are exported.
    for (int i = 0; i < kSlotCount; ++i) {
        if (host_.stopRequested() || file.hasFailed())
            return;
        if (host_.slotState(i) != Ticked)
            continue;
        tableName_ = host_.slotCaption(i);
        // Report lines of this table come after its progress line and stay
        // when the progress line goes, so it is removed by its own position.
        const int progressLine = host_.messageCount();
        host_.appendMessage(texts::tableInProgress(tableName_), ExportHost::MessageKind::Progress);
        host_.repaintMessages();
        const TableBlockWriter::Outcome outcome = exportTable(writer);
        if (host_.stopRequested())
            return;
        host_.removeMessage(progressLine);
        host_.appendMessage(outcome.written ? texts::tableCompleted(tableName_, outcome.rowsDone)
                                            : texts::tableNotExported(tableName_),
                            ExportHost::MessageKind::Progress);
        if (outcome.written) {
            ++tablesWritten_;
            host_.tableQuality(tableName_, outcome.ambiguousValues, outcome.replacedCharacters);
        }
        host_.repaintMessages();
        host_.setTableStatus(QString());
        host_.setRowsStatus(QString());
    }
}

TableBlockWriter::Outcome ExportRun::exportTable(TableBlockWriter& writer) {
    // Both readings of the table happen in one snapshot where the database
    // has them; a connection that is gone fails here, once per table.
    try {
        conn_->beginTableRead();
    } catch (const Error& error) {
        ReportRunError(error);
        return {};
    }
    const TableBlockWriter::Outcome outcome = writer.WriteTableBlock(tableName_);
    try {
        conn_->endTableRead(outcome.written);
    } catch (const Error& error) {
        ReportRunError(error);
    }
    return outcome;
}

void ExportRun::cancel() noexcept {
    const std::lock_guard lock(connectionMutex_);
    if (conn_ != nullptr)
        conn_->cancel();
}

bool ExportRun::openConnection() {
    const std::lock_guard lock(connectionMutex_);
    try {
        // The string may name another provider than the last run's.
        conn_.reset();
        conn_ = factory_(connString_);
        if (conn_ == nullptr)
            throw Error(0, texts::kNoConnection.toString());
        // A provider that waits on a silent server lets the host's events
        // through meanwhile, and gives up when the host is told to stop.
        conn_->setStopCheck([this] {
            host_.yield();
            return host_.stopRequested();
        });
        conn_->open(connString_);
        return true;
    } catch (const Error& error) {
        ReportRunError(error);
        return false;
    }
}

void ExportRun::closeConnection() {
    const std::lock_guard lock(connectionMutex_);
    if (conn_ == nullptr || !conn_->isOpen())
        return;
    try {
        conn_->close();
    } catch (const Error& error) {
        ReportRunError(error);
    }
}

void ExportRun::ReportRunError(const Error& error) {
    // Every failure is reported, also those the database did not put in its
    // error list: an export file that cannot be written must not end in a
    // clean list under "Esportazione Completata!". The list shows the line
    // at its next repaint. A stop ends the run with one line at most: what
    // fails after it (the table, the connection) fails because of it.
    if (stopReported_)
        return;
    stopReported_ = host_.stopRequested();
    ++reportCount_;
    host_.appendMessage(texts::reportLine(tableName_, error.description()),
                        ExportHost::MessageKind::Report);
}

}  // namespace brivano::exporter
