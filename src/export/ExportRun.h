#pragma once

#include <QString>
#include <functional>
#include <memory>
#include <mutex>

#include "db/Database.h"
#include "db/Error.h"
#include "db/connect/ConnectionFactory.h"
#include "export/ExportHost.h"
#include "export/TableBlockWriter.h"

namespace brivano::exporter {

class ExportFile;

// One export run, from the start command to the completion message: takes
// the connection string from the host, exports every ticked slot's table in
// slot order into one new export file, logs progress and failures in the
// host's message list, and ends with a message that tells how it went.
//
// A failing step is reported as a line of the message list and the run goes
// on with the next table. The export file replaces the previous one only
// when it was written in full with at least one table's block: a run that
// cannot open the connection or create the file reads no table and leaves
// the previous export as it was. The run holds the export file's lock from
// before it connects until the file is in place: a run on the same file
// elsewhere (another window, brivano-export) is refused meanwhile with a
// report line, and reads nothing. A start while a run is under way is
// ignored, and a stop request (checked whenever the run yields) ends the run
// at once: the unfinished file is discarded, the connection closed, no
// message shown.
class ExportRun {
  public:
    // Makes the closed connection for a connection string (see
    // db::createConnection): each run opens one of the provider its string
    // names.
    using ConnectionFactory =
        std::function<std::unique_ptr<db::Connection>(const QString& connectionString)>;

    ExportRun(ExportHost& host, QString exportFilePath,
              ConnectionFactory factory = &db::createConnection);
    ~ExportRun();
    ExportRun(const ExportRun&) = delete;
    ExportRun& operator=(const ExportRun&) = delete;

    void setConnString(const QString& connString) { connString_ = connString; }
    const QString& ConnString() const { return connString_; }
    // The table being exported; after a run, that run's last table.
    const QString& TableName() const { return tableName_; }
    // The code page of the export file; throws Error when it is not available.
    void setCodePage(int number);
    int codePage() const { return codePage_; }
    const QString& exportFilePath() const { return exportFilePath_; }

    void RunExport();
    bool isRunning() const { return running_; }
    // Asks the statement under way, if any, to stop (the run must still be
    // told to stop through its host). Safe from another thread.
    void cancel() noexcept;
    // Report lines that the last run wrote: 0 when every step succeeded.
    int reportCount() const { return reportCount_; }

  private:
    class WaitPointer;
    enum class Outcome { Completed, CompletedWithErrors, NotDone, Stopped };

    bool anyTicked();
    Outcome exportToFile();
    void exportTickedTables(ExportFile& file);
    TableBlockWriter::Outcome exportTable(TableBlockWriter& writer);
    bool openConnection();
    void closeConnection();
    // The failure rule of the run: a report line in the message list.
    void ReportRunError(const Error& error);

    ExportHost& host_;
    QString exportFilePath_;
    ConnectionFactory factory_;
    int codePage_;
    QString connString_;
    QString tableName_;
    std::unique_ptr<db::Connection> conn_;  // the run's, kept until the next one
    // Held while conn_ is made, opened or closed, and by cancel(), which may
    // come from another thread.
    std::mutex connectionMutex_;
    bool running_ = false;
    int reportCount_ = 0;
    int tablesWritten_ = 0;
    bool stopReported_ = false;
};

}  // namespace brivano::exporter
