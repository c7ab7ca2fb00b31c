#include <QApplication>
#include <QMessageBox>
#include <cstdio>
#include <cstring>

#include "app/MainWindow.h"
#include "db/Error.h"
#include "texts/Texts.h"

namespace {

constexpr char kHelp[] =
    "Usage: brivano [--help | --version]\n"
    "Opens Brivano's window: choose a group of tables, tick the tables and start\n"
    "the export. The connection string comes from the settings file\n"
    "~/Programmi/Tavorin/Set/Connection.set (else ~/Program Files/Tavorin/Set/\n"
    "Connection.set); the export goes to ~/Export.txt. See brivano(1).\n";

// The window takes no option of its own besides these two, which answer
// without a screen.
bool answered(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(kHelp, stdout);
            return true;
        }
        if (std::strcmp(argv[i], "--version") == 0 || std::strcmp(argv[i], "-V") == 0) {
            std::fputs("brivano " BRIVANO_VERSION "\n", stdout);
            return true;
        }
    }
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    if (answered(argc, argv))
        return 0;
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
