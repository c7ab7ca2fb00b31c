#include "app/WindowExportHost.h"

#include <QApplication>
#include <QCursor>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>

#include "app/ExportForm.h"
#include "app/TableSlots.h"
#include "db/Error.h"
#include "texts/Texts.h"

namespace brivano::app {
namespace {

void showAtOnce(QLabel& label, const QString& text) {
    label.setText(text);
    label.repaint();
}

}  // namespace

WindowExportHost::WindowExportHost(const ExportForm& form, TableSlots& tableSlots,
                                   MessageBox messageBox)
    : form_(form), slots_(tableSlots), messageBox_(std::move(messageBox)) {
    if (!messageBox_) {
        throw Error(0, QStringLiteral("WindowExportHost: no message box given"));
    }
}

WindowExportHost::~WindowExportHost() {
    // A pointer left set by an interrupted run must not outlive the window.
    setWaitPointer(false);
}

QString WindowExportHost::connectionText() {
    return form_.text2->text();
}

exporter::SlotState WindowExportHost::slotState(int index) {
    return slots_.state(index);
}

QString WindowExportHost::slotCaption(int index) {
    return slots_.caption(index);
}

void WindowExportHost::clearMessages() {
    form_.errori->clear();
}

// The window lists both kinds alike.
void WindowExportHost::appendMessage(const QString& line, MessageKind) {
    form_.errori->addItem(line);
}

void WindowExportHost::removeMessage(int index) {
    if (index < 0 || index >= form_.errori->count()) {
        throw Error(0, texts::noMessageLine(index));
    }
    delete form_.errori->takeItem(index);
}

int WindowExportHost::messageCount() {
    return form_.errori->count();
}

void WindowExportHost::repaintMessages() {
    // The view lays out new lines lazily, at its next turn of the event
    // loop; lay them out now so the repaint shows them.
    form_.errori->doItemsLayout();
    form_.errori->viewport()->repaint();
}

void WindowExportHost::setTableStatus(const QString& text) {
    showAtOnce(*form_.label5, text);
}

void WindowExportHost::setRowsStatus(const QString& text) {
    showAtOnce(*form_.label7, text);
    sinceRowsRepaint_.start();
}

void WindowExportHost::rowsDone(std::int32_t rowsDone) {
    // Hot path: one clock read per row; the text is made only when shown.
    if (sinceRowsRepaint_.isValid() && sinceRowsRepaint_.elapsed() < kStatusRepaintIntervalMs) {
        return;
    }
    showAtOnce(*form_.label7, texts::rowsStatus(rowsDone));
    sinceRowsRepaint_.start();
}

void WindowExportHost::setWaitPointer(bool wait) {
    if (wait == waitPointer_) {
        return;
    }
    // An application-wide override covers every control of the window,
    // including those with a hand pointer of their own.
    if (wait) {
        QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    } else {
        QApplication::restoreOverrideCursor();
    }
    waitPointer_ = wait;
}

void WindowExportHost::showMessage(const QString& text) {
    messageBox_(text);
}

void WindowExportHost::yield() {
    QCoreApplication::processEvents();
}

bool WindowExportHost::stopRequested() {
    return stopRequested_;
}

}  // namespace brivano::app
