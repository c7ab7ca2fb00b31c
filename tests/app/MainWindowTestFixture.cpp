#include "MainWindowTestFixture.h"

#include <sqlite3.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "app/QtPrinter.h"
#include "db/connect/ConnectionFactory.h"

namespace brivano::app::test {
namespace {

// One QApplication for the whole program, destroyed when the tests end:
// left to the exit handlers it would outlive Qt's own statics and crash.
class QtApplicationEnvironment : public ::testing::Environment {
  public:
    void SetUp() override {
        static int argc = 1;
        static char name[] = "MainWindowTest";
        static char* argv[] = {name, nullptr};
        application_ = std::make_unique<QApplication>(argc, argv);
    }
    void TearDown() override { application_.reset(); }

  private:
    std::unique_ptr<QApplication> application_;
};

[[maybe_unused]] ::testing::Environment* const kQtApplication =
    ::testing::AddGlobalTestEnvironment(new QtApplicationEnvironment);

}  // namespace

MainWindowTest::MainWindowTest() : connections_(&db::createConnection) {
    EXPECT_NE(QApplication::instance(), nullptr);
    EXPECT_TRUE(drive_.isValid());
}

MainWindowTest::~MainWindowTest() = default;

void MainWindowTest::writeSettings(const QString& connectionString) {
    const platform::ToolPaths paths(drive_.path());
    QDir().mkpath(QFileInfo(paths.settingsFile()).path());
    QFile file(paths.settingsFile());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(connectionString.toLatin1() + "\r\n");
}

QString MainWindowTest::makeDatabase(const QString& sql) {
    const QString path = drive_.filePath(QStringLiteral("tables.db"));
    sqlite3* db = nullptr;
    EXPECT_EQ(sqlite3_open(path.toUtf8().constData(), &db), SQLITE_OK);
    char* error = nullptr;
    EXPECT_EQ(sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &error), SQLITE_OK)
        << (error ? error : "");
    sqlite3_free(error);
    sqlite3_close(db);
    return QStringLiteral("Driver=SQLite3;Database=%1;NoCreat=1").arg(path);
}

MainWindow& MainWindowTest::openWindow() {
    return openWindow(true);
}

MainWindow& MainWindowTest::openWindowWithMessageBoxes() {
    return openWindow(false);
}

MainWindow& MainWindowTest::openWindow(bool recordMessages) {
    MainWindow::Services services{
        platform::ToolPaths(drive_.path()),
        connections_,
        [this]() -> std::unique_ptr<Printer> {
            ++printedDocuments_;
            return QtPrinter::toPdfFile(
                drive_.filePath(QStringLiteral("print-%1.pdf").arg(printedDocuments_)));
        },
        [this](const QString& text) {
            messages_.append(text);
            const QCursor* pointer = QApplication::overrideCursor();
            pointerAtMessage_.push_back(pointer ? pointer->shape() : Qt::ArrowCursor);
        },
    };
    if (!recordMessages) {
        services.messageBox = nullptr;
    }
    window_ = std::make_unique<MainWindow>(std::move(services));
    window_->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
    window_->activateWindow();
    return *window_;
}

void MainWindowTest::closeNextMessageBox(ShownBox& box) {
    // Polled from the event loop that the box's exec() runs.
    auto* poll = new QTimer(window_.get());
    QObject::connect(poll, &QTimer::timeout, poll, [poll, &box] {
        auto* open = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (open == nullptr) {
            return;
        }
        const QCursor* pointer = QApplication::overrideCursor();
        box = {true,
               open->windowTitle(),
               open->text(),
               open->icon(),
               static_cast<int>(open->standardButtons()),
               open->isModal(),
               open->parentWidget(),
               pointer ? pointer->shape() : Qt::ArrowCursor};
        poll->stop();
        poll->deleteLater();
        open->button(QMessageBox::Ok)->click();
    });
    poll->start(0);
}

QWidget* MainWindowTest::control(const QString& name) {
    auto* widget = window_->findChild<QWidget*>(name);
    EXPECT_NE(widget, nullptr) << name.toStdString();
    return widget;
}

void MainWindowTest::click(QWidget* widget) {
    QTest::mouseClick(widget, Qt::LeftButton, Qt::NoModifier, widget->rect().center());
}

void MainWindowTest::pressKey(Qt::Key key) {
    QTest::keyClick(focused(), key);
}

QWidget* MainWindowTest::focused() {
    return window_->focusWidget();
}

void MainWindowTest::tickGroup(int groupButton) {
    form().command[groupButton]->click();
    form().command[4]->click();
}

QStringList MainWindowTest::messageList() {
    QStringList lines;
    for (int i = 0; i < form().errori->count(); ++i) {
        lines << form().errori->item(i)->text();
    }
    return lines;
}

QString MainWindowTest::exportFileText() {
    QFile file(platform::ToolPaths(drive_.path()).exportFile());
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return QString::fromLatin1(file.readAll());
}

}  // namespace brivano::app::test
