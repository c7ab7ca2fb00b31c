// Measures what the window's status line costs during an export: the same
// table exported through the window's host as shipped (row count repainted
// at most every 30 ms), with a repaint after every row, and with no status
// updates at all. Prints a small Markdown table.
#include <sqlite3.h>

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <cstdio>

#include "app/CheckBoxSlots.h"
#include "app/MainWindow.h"
#include "app/WindowExportHost.h"
#include "export/ExportRun.h"
#include "texts/Texts.h"

namespace {

using brivano::app::WindowExportHost;

// Repaints Label7 after every row, as a window without throttling would.
class EveryRowHost : public WindowExportHost {
  public:
    using WindowExportHost::WindowExportHost;
    void rowsDone(std::int32_t rowsDone) override {
        setRowsStatus(brivano::texts::rowsStatus(rowsDone));
    }
};

// Leaves the status line alone.
class SilentHost : public WindowExportHost {
  public:
    using WindowExportHost::WindowExportHost;
    void setTableStatus(const QString&) override {}
    void setRowsStatus(const QString&) override {}
    void rowsDone(std::int32_t) override {}
};

QString makeTable(const QString& folder, int rows) {
    const QString path = folder + QStringLiteral("/bench.db");
    sqlite3* db = nullptr;
    sqlite3_open(path.toUtf8().constData(), &db);
    const QByteArray sql =
        "create table Brand (id integer not null, code char(10), name varchar(40), amount double,"
        " stamp timestamp);"
        "with recursive c(x) as (select 1 union all select x + 1 from c where x < " +
        QByteArray::number(rows) +
        ") insert into Brand select x, printf('C%07d', x), 'Articolo ' || x, x * 1.25,"
        " datetime(1700000000 + x * 37, 'unixepoch') from c;";
    char* error = nullptr;
    if (sqlite3_exec(db, sql.constData(), nullptr, nullptr, &error) != SQLITE_OK) {
        std::fprintf(stderr, "window-status-bench: %s\n", error);
        std::exit(1);
    }
    sqlite3_close(db);
    return QStringLiteral("Driver=SQLite3;Database=%1;StepAPI=1").arg(path);
}

template <typename Host>
double exportSeconds(brivano::app::MainWindow& window, const QString& output) {
    const auto& form = window.form();
    brivano::app::CheckBoxSlots tableSlots(form.selTab);
    Host host(form, tableSlots, [](const QString&) {});
    brivano::exporter::ExportRun run(host, output);
    QElapsedTimer timer;
    timer.start();
    run.RunExport();
    const double seconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;
    if (run.reportCount() != 0) {
        std::fprintf(stderr, "window-status-bench: the export failed\n");
        std::exit(1);
    }
    return seconds;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    int rows = 200000;
    const QStringList arguments = QApplication::arguments();
    if (const qsizetype at = arguments.indexOf(QStringLiteral("--rows"));
        at > 0 && at + 1 < arguments.size()) {
        rows = arguments.at(at + 1).toInt();
    }
    QTemporaryDir folder;
    const QString connection = makeTable(folder.path(), rows);

    brivano::app::MainWindow::Services services = brivano::app::MainWindow::standardServices();
    services.paths = brivano::platform::ToolPaths(folder.path());
    services.messageBox = [](const QString&) {};
    brivano::app::MainWindow window(std::move(services));
    window.show();
    QApplication::processEvents();
    window.form().text2->setText(connection);
    window.form().command[0]->click();  // "Tempi": Brand is its first box
    window.form().selTab[0]->setChecked(true);

    const QString output = folder.filePath(QStringLiteral("Export.txt"));
    const double shipped = exportSeconds<WindowExportHost>(window, output);
    const double everyRow = exportSeconds<EveryRowHost>(window, output);
    const double silent = exportSeconds<SilentHost>(window, output);
    const auto perRowMicros = [rows](double seconds) { return seconds * 1e6 / rows; };

    std::printf("Export of %d rows in the window (Qt platform \"%s\").\n\n", rows,
                qPrintable(QApplication::platformName()));
    std::printf("| Status line | Seconds | Microseconds a row |\n|---|---|---|\n");
    std::printf("| repainted at most every 30 ms (shipped) | %.2f | %.2f |\n", shipped,
                perRowMicros(shipped));
    std::printf("| repainted after every row | %.2f | %.2f |\n", everyRow, perRowMicros(everyRow));
    std::printf("| not updated | %.2f | %.2f |\n", silent, perRowMicros(silent));
    return 0;
}
