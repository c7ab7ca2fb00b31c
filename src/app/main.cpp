#include <QApplication>
#include <QMessageBox>

#include "app/ApplicationTitle.h"
#include "app/MainWindow.h"
#include "db/Error.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(brivano::app::applicationTitle());
    try {
        brivano::app::MainWindow window(brivano::app::MainWindow::standardServices());
        window.show();
        return QApplication::exec();
    } catch (const brivano::Error& error) {
        // Only a broken installation gets here (a picture missing from the
        // build); say so rather than vanish.
        QMessageBox::critical(nullptr, brivano::app::applicationTitle(), error.description());
        return 1;
    }
}
