#pragma once

#include <QElapsedTimer>
#include <QStringList>
#include <atomic>
#include <cstdio>

#include "export/ExportHost.h"

namespace brivano::cli {

// Drives the export engine without a window: the tables to export are the
// ticked slots; the message list goes to standard error line by line as it
// grows (only the report lines when quiet), with a row count on that
// terminal when it is one; standard output is left to the export itself.
class ConsoleExportHost : public exporter::ExportHost {
  public:
    // `progress` is where the row count is redrawn: null for none.
    ConsoleExportHost(QString connectionText, QStringList tables, std::FILE* messages,
                      std::FILE* progress, bool quiet);

    // Set from a signal handler: the run stops at its next look.
    static std::atomic<bool>& stopFlag();

    QString connectionText() override { return connectionText_; }
    exporter::SlotState slotState(int index) override;
    QString slotCaption(int index) override;
    void clearMessages() override;
    void appendMessage(const QString& line, MessageKind kind) override;
    void removeMessage(int index) override;
    int messageCount() override { return static_cast<int>(messages_.size()); }
    void repaintMessages() override {}
    void setTableStatus(const QString& text) override;
    void setRowsStatus(const QString&) override {}
    void rowsDone(std::int32_t rowsDone) override;
    // A warning line on the messages' stream, also when quiet.
    void tableQuality(const QString& table, std::int64_t ambiguousValues,
                      std::int64_t replacedCharacters) override;
    void setWaitPointer(bool) override {}
    void showMessage(const QString& text) override;
    void yield() override {}
    bool stopRequested() override;
    // True when the run was told to stop, and so left the previous export
    // file in place. A stop that comes after the run's last look at the
    // flag (the file already replaced) does not count.
    bool stopSeen() const { return stopSeen_; }

  private:
    void print(const QString& line);
    void clearProgress();

    QString connectionText_;
    QStringList tables_;
    QStringList messages_;
    std::FILE* out_;
    std::FILE* progress_;  // null when there is no terminal to redraw
    bool quiet_;
    QString currentTable_;
    QElapsedTimer sinceProgress_;
    bool progressShown_ = false;
    bool stopSeen_ = false;
};

}  // namespace brivano::cli
