#include <QApplication>
#include <QMessageBox>

#include "app/MainWindow.h"
#include "db/Error.h"
#include "texts/Texts.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(brivano::texts::kApplicationTitle.toString());
    try {
        brivano::app::MainWindow window(brivano::app::MainWindow::standardServices());
        window.show();
        return QApplication::exec();
    } catch (const brivano::Error& error) {
        // Only a broken installation gets here (a picture missing from the
        // build); say so rather than vanish.
        QMessageBox::critical(nullptr, brivano::texts::kApplicationTitle.toString(),
                              error.description());
        return 1;
    }
}
