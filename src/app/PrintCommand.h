#pragma once

#include "app/Printer.h"

#include <QStringList>
#include <functional>
#include <memory>

class QWidget;

namespace brivano::app {

// The print command of the window: prints the message list as it stands and
// never lets a failure escape. A printer that is missing or refuses the job
// is reported through the message sink; the list is only read, so it stays
// as it was, and the window goes on.
class PrintCommand {
  public:
    using PrinterFactory = std::function<std::unique_ptr<Printer>()>;
    using MessageSink = std::function<void(const QString&)>;

    PrintCommand(PrinterFactory makePrinter, MessageSink showMessage);
    void run(const QStringList& entries) const;

  private:
    PrinterFactory makePrinter_;
    MessageSink showMessage_;
};

// A new printer on the system's default printer for every document; throws
// brivano::Error "Stampa non riuscita: nessuna stampante disponibile" when
// the system has none.
PrintCommand::PrinterFactory defaultPrinterFactory();

// Shows each message in a modal message box titled "Brivano" over `parent`
// and returns when the operator has closed it.
PrintCommand::MessageSink messageBoxSink(QWidget* parent);

}  // namespace brivano::app
