#include "app/PrintCommand.h"

#include "app/MessageListPrint.h"
#include "app/QtPrinter.h"
#include "db/Error.h"
#include "texts/Texts.h"

#include <QMessageBox>
#include <QPointer>
#include <utility>

namespace brivano::app {

PrintCommand::PrintCommand(PrinterFactory makePrinter, MessageSink showMessage)
    : makePrinter_(std::move(makePrinter)), showMessage_(std::move(showMessage)) {}

void PrintCommand::run(const QStringList& entries) const {
    // The command's one failure rule: whatever the printer layer throws is
    // shown to the operator and the command ends.
    try {
        const std::unique_ptr<Printer> printer = makePrinter_();
        if (!printer) {
            throw Error(0, texts::printFailed(texts::kNoPrinter.toString()));
        }
        printMessageList(entries, *printer);
    } catch (const Error& error) {
        showMessage_(error.description());
    }
}

PrintCommand::PrinterFactory defaultPrinterFactory() {
    return []() -> std::unique_ptr<Printer> { return QtPrinter::forDefaultPrinter(); };
}

PrintCommand::MessageSink messageBoxSink(QWidget* parent) {
    // The window may be gone by the time a message comes; then the box has no owner.
    return [owner = QPointer<QWidget>(parent)](const QString& text) {
        QMessageBox box(QMessageBox::Warning, texts::kApplicationTitle.toString(), text,
                        QMessageBox::Ok, owner.data());
        box.exec();
    };
}

}  // namespace brivano::app
