#pragma once

#include <QElapsedTimer>
#include <QString>
#include <cstdint>
#include <functional>

#include "export/ExportHost.h"

class QWidget;

namespace brivano::app {

struct ExportForm;
class TableSlots;

// The window's side of the export engine: the connection string box, the
// table slots, the message list, the status line, the wait pointer, the
// message box and the event loop, as the engine asks for them.
class WindowExportHost : public exporter::ExportHost {
  public:
    // Shows one text in a modal box with an OK button and returns when the
    // operator has closed it. Tests put a recorder here.
    using MessageBox = std::function<void(const QString& text)>;

    // The row count is repainted at most this often: a repaint costs far
    // more than reading a row, and the eye sees no difference.
    static constexpr int kStatusRepaintIntervalMs = 30;

    WindowExportHost(const ExportForm& form, TableSlots& tableSlots, MessageBox messageBox);
    ~WindowExportHost() override;
    WindowExportHost(const WindowExportHost&) = delete;
    WindowExportHost& operator=(const WindowExportHost&) = delete;

    QString connectionText() override;
    exporter::SlotState slotState(int index) override;
    QString slotCaption(int index) override;

    void clearMessages() override;
    void appendMessage(const QString& line, MessageKind kind) override;
    void removeMessage(int index) override;
    int messageCount() override;
    void repaintMessages() override;

    void setTableStatus(const QString& text) override;
    void setRowsStatus(const QString& text) override;
    void rowsDone(std::int32_t rowsDone) override;

    void setWaitPointer(bool wait) override;
    void showMessage(const QString& text) override;
    void yield() override;
    bool stopRequested() override;

    // Asks the run under way to stop at its next yield (the window closes).
    void requestStop() { stopRequested_ = true; }

  private:
    const ExportForm& form_;
    TableSlots& slots_;
    MessageBox messageBox_;
    QElapsedTimer sinceRowsRepaint_;
    bool waitPointer_ = false;
    bool stopRequested_ = false;
};

}  // namespace brivano::app
