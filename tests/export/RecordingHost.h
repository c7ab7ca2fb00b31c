#pragma once

#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>
#include <functional>
#include <vector>

#include "export/ExportHost.h"

namespace brivano::test {

// An export host that plays the window for the engine's tests: it holds the
// connection text and the thirty slots the test sets up, keeps the message
// list as the window's list box would, and records every status text,
// pointer change, message box and yield, so a test can check what the
// operator would have seen and in which order.
class RecordingHost : public exporter::ExportHost {
  public:
    // What the operator saw when a message box was up.
    struct ShownMessage {
        QString text;
        bool waitPointer = false;
        QStringList messages;
    };

    // Inputs, set by the test.
    QString connection;
    std::array<exporter::SlotState, exporter::kSlotCount> states{};
    std::array<QString, exporter::kSlotCount> captions;
    bool stop = false;
    // Runs inside every yield, with the number of that yield (from 1): the
    // place where an operator's clicks arrive during a run.
    std::function<void(int)> onYield;

    // Outputs.
    QStringList messages;  // the message list
    QStringList reports;   // the report lines among them, as they came
    int messageRepaints = 0;
    QStringList tableStatus;  // every text given to Label5, in order
    QStringList rowsStatus;   // every text given to Label7, in order
    std::vector<std::int32_t> rowsDoneCalls;
    bool waitPointer = false;
    std::vector<bool> pointerChanges;
    std::vector<ShownMessage> shown;
    int yields = 0;

    void tick(int index, const QString& caption);

    QString connectionText() override { return connection; }
    exporter::SlotState slotState(int index) override;
    QString slotCaption(int index) override;
    void clearMessages() override { messages.clear(); }
    void appendMessage(const QString& line, MessageKind kind) override {
        messages.append(line);
        if (kind == MessageKind::Report)
            reports.append(line);
    }
    void removeMessage(int index) override;
    int messageCount() override { return static_cast<int>(messages.size()); }
    void repaintMessages() override { ++messageRepaints; }
    void setTableStatus(const QString& text) override { tableStatus.append(text); }
    void setRowsStatus(const QString& text) override { rowsStatus.append(text); }
    void rowsDone(std::int32_t rows) override { rowsDoneCalls.push_back(rows); }
    void setWaitPointer(bool wait) override;
    void showMessage(const QString& text) override;
    void yield() override;
    bool stopRequested() override { return stop; }
};

}  // namespace brivano::test
