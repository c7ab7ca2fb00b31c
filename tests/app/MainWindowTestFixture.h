#pragma once

#include <gtest/gtest.h>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>

#include "app/MainWindow.h"

class QWidget;

namespace brivano::app::test {

// The main window on Qt's offscreen platform, over a temporary drive (its
// settings file and export file), with its message box replaced by a
// recorder and its printer by a PDF file per document.
class MainWindowTest : public ::testing::Test {
  protected:
    MainWindowTest();
    ~MainWindowTest() override;

    // The first settings file, as one CR LF line.
    void writeSettings(const QString& connectionString);
    // A SQLite database file in the drive holding `sql` (several statements
    // allowed); returns its ODBC connection string.
    QString makeDatabase(const QString& sql);

    // Creates the window (load step included), shows it and waits until it
    // is on screen.
    MainWindow& openWindow();
    // The same with the window's own modal message boxes instead of the
    // recorder; a test reads and closes them with closeNextMessageBox().
    MainWindow& openWindowWithMessageBoxes();
    MainWindow& window() { return *window_; }
    const ExportForm& form() { return window_->form(); }

    // A control of the window by its object name; fails the test if absent.
    QWidget* control(const QString& name);
    // A left click in the middle of a control, through the event system.
    void click(QWidget* widget);
    // Presses and releases a key on the widget that has the focus.
    void pressKey(Qt::Key key);
    // The widget that has the keyboard focus inside the window.
    QWidget* focused();
    // Ticks the boxes of one group: its button, then "Seleziona tutti".
    void tickGroup(int groupButton);

    QStringList messageList();
    QString exportFileText();

    // What a message box showed, read by closeNextMessageBox().
    struct ShownBox {
        bool shown = false;
        QString title;
        QString text;
        int icon = 0;  // QMessageBox::Icon
        int buttons = 0;
        bool modal = false;
        QWidget* parent = nullptr;
        Qt::CursorShape pointer = Qt::ArrowCursor;
    };
    // Reads the next modal message box when it comes up, then presses its
    // OK button.
    void closeNextMessageBox(ShownBox& box);

    QTemporaryDir drive_;
    // The database providers the window uses; a test may put a failing
    // one here before it opens the window.
    exporter::ExportRun::ConnectionFactory connections_;
    QStringList messages_;  // what the message box was asked to show
    int printedDocuments_ = 0;
    // The pointer in force each time a message was shown.
    std::vector<Qt::CursorShape> pointerAtMessage_;

  private:
    MainWindow& openWindow(bool recordMessages);

    std::unique_ptr<MainWindow> window_;
};

}  // namespace brivano::app::test
