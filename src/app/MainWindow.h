#pragma once

#include <QWidget>
#include <memory>

#include "app/CheckBoxSlots.h"
#include "app/ExportForm.h"
#include "app/PrintCommand.h"
#include "app/WindowExportHost.h"
#include "export/ExportRun.h"
#include "platform/ToolPaths.h"

namespace brivano::app {

// The program's one window, Export. Creating it runs the load step (the
// settings file's connection string into Text2, the message list emptied);
// its buttons, labels and pictures run the group, selection, export and
// print commands, and nothing else is handled.
class MainWindow : public QWidget {
    Q_OBJECT

  public:
    using MessageBox = WindowExportHost::MessageBox;

    // What the window reaches beyond itself. Tests replace the message box
    // and the printer, and point the folders at a temporary drive.
    struct Services {
        platform::ToolPaths paths;
        exporter::ExportRun::ConnectionFactory connections;
        PrintCommand::PrinterFactory printers;
        // Empty: a modal box titled "Brivano" over this window.
        MessageBox messageBox;
    };

    // The current user's folders, the database providers, the system's
    // default printer and real message boxes.
    static Services standardServices();

    explicit MainWindow(Services services, QWidget* parent = nullptr);
    ~MainWindow() override;

    const ExportForm& form() const { return form_; }
    const exporter::ExportRun& exportRun() const { return *exportRun_; }

  protected:
    // Closing during an export stops the run at its next row; the window
    // closes once the run has closed its file and connection.
    void closeEvent(QCloseEvent* event) override;

  private:
    void loadSettings(const platform::ToolPaths& paths);
    void connectCommands();
    // Runs one command; a failure that escapes it is shown, never lost.
    template <typename Command>
    void runCommand(Command&& command);
    void startExport();
    void printMessages();
    void showModalMessage(const QString& text);

    ExportForm form_;
    CheckBoxSlots tableSlots_;
    MessageBox messageBox_;
    std::unique_ptr<WindowExportHost> host_;
    std::unique_ptr<exporter::ExportRun> exportRun_;
    std::unique_ptr<PrintCommand> printCommand_;
    bool closeAfterRun_ = false;
};

}  // namespace brivano::app
