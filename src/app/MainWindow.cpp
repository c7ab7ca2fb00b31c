#include "app/MainWindow.h"

#include <QCloseEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <exception>

#include "app/ClickLabel.h"
#include "app/GroupCommands.h"
#include "db/Error.h"
#include "db/connect/ConnectionFactory.h"
#include "settings/SettingsFile.h"
#include "texts/Texts.h"

namespace brivano::app {

MainWindow::Services MainWindow::standardServices() {
    return Services{
        platform::ToolPaths::forCurrentUser(),
        &db::createConnection,
        defaultPrinterFactory(),
        {},
    };
}

MainWindow::MainWindow(Services services, QWidget* parent)
    : QWidget(parent), form_(ExportForm::build(*this)), tableSlots_(form_.selTab) {
    // The print command warns of printer failures in its own box; a message
    // box given by the caller takes every message.
    PrintCommand::MessageSink printMessages =
        services.messageBox ? services.messageBox : messageBoxSink(this);
    messageBox_ = services.messageBox ? std::move(services.messageBox)
                                      : [this](const QString& text) { showModalMessage(text); };
    host_ = std::make_unique<WindowExportHost>(form_, tableSlots_, messageBox_);
    exportRun_ = std::make_unique<exporter::ExportRun>(*host_, services.paths.exportFile(),
                                                       std::move(services.connections));
    printCommand_ =
        std::make_unique<PrintCommand>(std::move(services.printers), std::move(printMessages));
    loadSettings(services.paths);
    connectCommands();
}

MainWindow::~MainWindow() = default;

// The load step never fails: a missing or unreadable settings file gives an
// empty connection string, which the operator can type into Text2.
void MainWindow::loadSettings(const platform::ToolPaths& paths) {
    exportRun_->setConnString(settings::readConnectionString(paths));
    form_.text2->setText(exportRun_->ConnString());
    form_.errori->clear();
}

void MainWindow::connectCommands() {
    // One group button, Command1 to Command4, for each table group.
    const auto& groups = exporter::tableGroups();
    for (size_t i = 0; i < groups.size(); ++i) {
        connect(form_.command[i], &QPushButton::clicked, this, [this, &group = groups[i]] {
            runCommand([&] { applyGroup(tableSlots_, group); });
        });
    }
    connect(form_.command[ExportForm::kTickAllButton], &QPushButton::clicked, this,
            [this] { runCommand([this] { tickAllShown(tableSlots_); }); });
    connect(form_.command[ExportForm::kUntickAllButton], &QPushButton::clicked, this,
            [this] { runCommand([this] { untickAllShown(tableSlots_); }); });

    const auto start = [this] { runCommand([this] { startExport(); }); };
    connect(form_.tabelle, &QPushButton::clicked, this, start);
    connect(form_.label2, &ClickLabel::clicked, this, start);
    connect(form_.image3, &ClickLabel::clicked, this, start);

    const auto print = [this] { runCommand([this] { printMessages(); }); };
    connect(form_.stampa, &QPushButton::clicked, this, print);
    connect(form_.label37, &ClickLabel::clicked, this, print);
    connect(form_.image1, &ClickLabel::clicked, this, print);
}

// Qt's event loop must not see an exception; the commands handle their own
// failures, so anything arriving here is unexpected and is shown as it is.
// That includes what the standard library throws (out of memory while a
// large table is read, for one): left to Qt it would end the program.
template <typename Command>
void MainWindow::runCommand(Command&& command) {
    try {
        command();
    } catch (const Error& error) {
        messageBox_(error.description());
    } catch (const std::exception& error) {
        messageBox_(QString::fromLocal8Bit(error.what()));
    }
}

void MainWindow::startExport() {
    // The run lets the window handle clicks between rows: a second start
    // there would reopen the open connection and file, so it is ignored.
    if (exportRun_->isRunning()) {
        return;
    }
    exportRun_->RunExport();
    if (closeAfterRun_) {
        closeAfterRun_ = false;
        close();
    }
}

void MainWindow::printMessages() {
    QStringList entries;
    entries.reserve(form_.errori->count());
    for (int i = 0; i < form_.errori->count(); ++i) {
        entries.append(form_.errori->item(i)->text());
    }
    printCommand_->run(entries);
}

// The export run's messages: no icon, one OK button, the application's title.
void MainWindow::showModalMessage(const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, texts::kApplicationTitle.toString(), text, QMessageBox::Ok,
                    this);
    box.exec();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (exportRun_->isRunning()) {
        // Closing here would destroy the window under the running export;
        // the run stops at its next row and startExport() closes the window.
        host_->requestStop();
        closeAfterRun_ = true;
        event->ignore();
        return;
    }
    event->accept();
}

}  // namespace brivano::app
