// Printing on a system without any printer: the print client is pointed at a
// print server that does not exist before Qt or libcups first look for one.
#include "app/PrintCommand.h"
#include "app/QtPrinter.h"
#include "db/Error.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <array>
#include <memory>

namespace brivano::app {
namespace {

const QString kNoPrinter = QStringLiteral("Stampa non riuscita: nessuna stampante disponibile");
// Enough event-loop turns for a message box to come up.
constexpr int kMaxPolls = 1000;

// Points the print client at nothing, then starts the application; it is
// ended before the program exits, while Qt's own globals are still there.
class NoPrintServer : public ::testing::Environment {
  public:
    void SetUp() override {
        ASSERT_TRUE(folder_.isValid());
        qputenv("CUPS_SERVER", QFile::encodeName(folder_.filePath(QStringLiteral("none.sock"))));
        // Either would name a printer of its own.
        qunsetenv("PRINTER");
        qunsetenv("LPDEST");
        application_ = std::make_unique<QApplication>(argc_, argv_.data());
    }
    void TearDown() override { application_.reset(); }

  private:
    QTemporaryDir folder_;
    int argc_ = 1;
    char name_[sizeof("PrintNoPrinterTest")] = "PrintNoPrinterTest";
    std::array<char*, 2> argv_{name_, nullptr};
    std::unique_ptr<QApplication> application_;
};
[[maybe_unused]] const auto* const kNoPrintServer =
    ::testing::AddGlobalTestEnvironment(new NoPrintServer);

struct ShownBox {
    bool shown = false;
    QString title;
    QString text;
    bool modal = false;
    QWidget* parent = nullptr;
};

// Reads the message box that comes up next and closes it with its OK button.
void closeNextMessageBox(ShownBox& box, int polls = 0) {
    QTimer::singleShot(0, [&box, polls] {
        auto* open = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (open == nullptr) {
            if (polls < kMaxPolls) {
                closeNextMessageBox(box, polls + 1);
            }
            return;
        }
        box = {true, open->windowTitle(), open->text(), open->isModal(), open->parentWidget()};
        open->button(QMessageBox::Ok)->click();
    });
}

TEST(PrintWithoutPrinter, DefaultPrinterIsAnErrorForTheOperator) {
    try {
        QtPrinter::forDefaultPrinter();
        FAIL() << "a default printer was found";
    } catch (const Error& error) {
        EXPECT_EQ(error.description(), kNoPrinter);
    }
}

TEST(PrintWithoutPrinter, WindowCommandShowsTheMessageInAModalBoxAndLeavesTheListAlone) {
    QWidget window;
    window.show();
    const QStringList entries{QStringLiteral("Tabella Tempi: 4 righe"), QStringLiteral("Errore")};
    const QStringList before = entries;
    ShownBox box;
    closeNextMessageBox(box);
    PrintCommand(defaultPrinterFactory(), messageBoxSink(&window)).run(entries);
    ASSERT_TRUE(box.shown) << "no message box came up";
    EXPECT_EQ(box.title, QStringLiteral("Brivano"));
    EXPECT_EQ(box.text, kNoPrinter);
    EXPECT_TRUE(box.modal);
    EXPECT_EQ(box.parent, &window);
    EXPECT_EQ(entries, before);
    EXPECT_TRUE(window.isVisible());
}

}  // namespace
}  // namespace brivano::app
