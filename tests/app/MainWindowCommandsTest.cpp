// What the window's controls run: the start and print commands from their
// buttons, labels and pictures, the keyboard road to the covered button,
// and an export on a real SQLite database through the ODBC driver, with
// the controls used while it runs.
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <new>

#include "MainWindowTestFixture.h"
#include "app/ClickLabel.h"
#include "platform/FileLock.h"
#include "platform/Files.h"
#include "platform/ToolPaths.h"
#include "support/TestSupport.h"

namespace brivano::app::test {
namespace {

const QString kNothingTicked = QStringLiteral("Selezionare almeno una tabella");
const QString kCompleted = QStringLiteral("Esportazione Completata!");

// Two small tables of the group "Presenze" (slots 0 and 1).
const QString kPresenzeTables = QStringLiteral(
    "CREATE TABLE Calendario (Giorno TIMESTAMP, Festivo INTEGER, Nota CHAR(10));"
    "INSERT INTO Calendario VALUES ('2024-01-01 00:00:00', 1, 'Capodanno '),"
    " ('2024-01-02 00:00:00', 0, NULL), ('2024-01-03 00:00:00', 0, 'L''ultimo'),"
    " ('2024-01-04 00:00:00', 0, NULL), ('2024-01-05 00:00:00', 0, NULL);"
    "CREATE TABLE CausaliPre (Codice CHAR(4), Descrizione VARCHAR(40));"
    "INSERT INTO CausaliPre VALUES ('ORD ', 'Ordinario'), ('FER ', 'Ferie'),"
    " ('MAL ', 'Malattia');");

// Runs `action` at the run's first yield, that is after its first data row.
void duringTheRun(QObject* context, std::function<void()> action) {
    QTimer::singleShot(0, context, std::move(action));
}

// Records the text a label shows each time it is painted.
class PaintRecorder : public QObject {
  public:
    explicit PaintRecorder(QLabel* label) : label_(label) { label->installEventFilter(this); }
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == label_ && event->type() == QEvent::Paint) {
            painted << label_->text();
        }
        return false;
    }
    QStringList painted;

  private:
    QLabel* label_;
};

TEST_F(MainWindowTest, StartCommandRunsFromItsLabelPictureAndButton) {
    openWindow();
    for (QWidget* start :
         {static_cast<QWidget*>(form().label2), static_cast<QWidget*>(form().image3),
          static_cast<QWidget*>(form().tabelle)}) {
        SCOPED_TRACE(start->objectName().toStdString());
        messages_.clear();
        form().text2->setText(start->objectName());
        if (start == form().tabelle) {
            form().tabelle->click();  // the mouse cannot reach it
        } else {
            click(start);
        }
        EXPECT_EQ(messages_, QStringList{kNothingTicked});
        // The run took the connection string at its start.
        EXPECT_EQ(window().exportRun().ConnString(), start->objectName());
    }
}

TEST_F(MainWindowTest, PrintCommandRunsFromItsLabelPictureAndButton) {
    openWindow();
    form().errori->addItem(QStringLiteral("Export Tabella Brand...Completato (4 Records)"));
    int documents = 0;
    for (QWidget* print :
         {static_cast<QWidget*>(form().label37), static_cast<QWidget*>(form().image1),
          static_cast<QWidget*>(form().stampa)}) {
        SCOPED_TRACE(print->objectName().toStdString());
        if (print == form().stampa) {
            form().stampa->click();
        } else {
            click(print);
        }
        ASSERT_EQ(printedDocuments_, ++documents);
        const QString text =
            brivano::test::pdfText(drive_.filePath(QStringLiteral("print-%1.pdf").arg(documents)));
        EXPECT_TRUE(text.contains(QStringLiteral("ELENCO ERRORI")));
        EXPECT_TRUE(text.contains(QStringLiteral("Export Tabella Brand...Completato (4 Records)")));
    }
    EXPECT_TRUE(messages_.isEmpty()) << messages_.join(u'|').toStdString();
    EXPECT_EQ(form().errori->count(), 1);
}

TEST_F(MainWindowTest, DoubleClickOnALabelOrPictureRunsItsCommandOnce) {
    openWindow();
    // Through the window system, which turns the second click into a
    // double click as a real mouse would.
    const auto doubleClick = [this](QWidget* widget) {
        QTest::mouseDClick(window().windowHandle(), Qt::LeftButton, Qt::NoModifier,
                           widget->mapTo(&window(), widget->rect().center()));
    };
    doubleClick(form().label37);
    EXPECT_EQ(printedDocuments_, 1);
    doubleClick(form().image1);
    EXPECT_EQ(printedDocuments_, 2);
    doubleClick(form().label2);
    doubleClick(form().image3);
    EXPECT_EQ(messages_, (QStringList{kNothingTicked, kNothingTicked}));
}

TEST_F(MainWindowTest, MessagesComeInAModalBoxTitledBrivanoWithOnlyOk) {
    writeSettings(makeDatabase(kPresenzeTables));
    openWindowWithMessageBoxes();
    ShownBox nothingTicked;
    closeNextMessageBox(nothingTicked);
    click(form().label2);
    ASSERT_TRUE(nothingTicked.shown);
    EXPECT_EQ(nothingTicked.text, kNothingTicked);
    EXPECT_EQ(nothingTicked.pointer, Qt::ArrowCursor);

    form().command[1]->click();
    form().selTab[0]->setChecked(true);
    ShownBox completed;
    closeNextMessageBox(completed);
    click(form().label2);
    ASSERT_TRUE(completed.shown);
    EXPECT_EQ(completed.text, kCompleted);
    // The wait pointer stays until the operator has closed the message.
    EXPECT_EQ(completed.pointer, Qt::WaitCursor);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);

    for (const ShownBox& box : {nothingTicked, completed}) {
        EXPECT_EQ(box.title, QStringLiteral("Brivano"));
        EXPECT_EQ(box.icon, QMessageBox::NoIcon);
        EXPECT_EQ(box.buttons, QMessageBox::Ok);
        EXPECT_TRUE(box.modal);
        EXPECT_EQ(box.parent, &window());
    }
}

TEST_F(MainWindowTest, FailureOutsideTheToolsErrorsIsShownAndTheWindowGoesOn) {
    connections_ = [](const QString&) -> std::unique_ptr<db::Connection> {
        throw std::bad_alloc();
    };
    openWindow();
    tickGroup(1);

    click(form().label2);

    EXPECT_EQ(messages_, QStringList{QString::fromLatin1(std::bad_alloc().what())});
    EXPECT_FALSE(window().exportRun().isRunning());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_TRUE(window().isVisible());
}

TEST_F(MainWindowTest, OtherControlsRunNothingWhenClicked) {
    openWindow();
    for (const char* name : {"Label1", "Label3", "Label4", "Label6", "Label5", "Label7",
                             "VisTas(0)", "VisTas(1)", "VisTas(2)", "Errori"}) {
        click(control(QString::fromLatin1(name)));
    }
    EXPECT_TRUE(messages_.isEmpty());
    EXPECT_EQ(printedDocuments_, 0);
}

TEST_F(MainWindowTest, CoveredButtonsWorkFromTheKeyboard) {
    openWindow();
    // Tab once from Text2 reaches Tabelle; twice more, Stampa.
    pressKey(Qt::Key_Tab);
    ASSERT_EQ(focused(), form().tabelle);
    pressKey(Qt::Key_Space);
    EXPECT_EQ(messages_, QStringList{kNothingTicked});

    pressKey(Qt::Key_Tab);
    pressKey(Qt::Key_Tab);
    ASSERT_EQ(focused(), form().stampa);
    pressKey(Qt::Key_Space);
    EXPECT_EQ(printedDocuments_, 1);
}

TEST_F(MainWindowTest, GroupAndSelectionButtonsFillAndTickTheBoxes) {
    openWindow();
    click(form().command[2]);  // "Accessi": 13 tables
    click(form().command[4]);  // "Seleziona tutti"
    for (int i = 0; i < 30; ++i) {
        EXPECT_EQ(form().selTab[i]->isVisibleTo(&window()), i < 13) << i;
        EXPECT_EQ(form().selTab[i]->isChecked(), i < 13) << i;
    }
    EXPECT_EQ(form().selTab[8]->text(), QStringLiteral("idPassaggi"));
    click(form().command[5]);  // "Annulla selezione"
    for (int i = 0; i < 13; ++i) {
        EXPECT_FALSE(form().selTab[i]->isChecked()) << i;
    }
    // A click on a box only toggles it.
    click(form().selTab[3]);
    EXPECT_TRUE(form().selTab[3]->isChecked());
    EXPECT_TRUE(messages_.isEmpty());
}

TEST_F(MainWindowTest, ExportShowsTheLastRowCountWhenEachTableEnds) {
    writeSettings(makeDatabase(kPresenzeTables));
    openWindow();
    form().command[1]->click();  // "Presenze"
    form().selTab[0]->setChecked(true);
    form().selTab[1]->setChecked(true);
    PaintRecorder rows(form().label7);
    PaintRecorder table(form().label5);

    click(form().label2);

    EXPECT_EQ(messages_, QStringList{kCompleted});
    // Whatever was painted between, each table's count is on screen when
    // it ends, and the status line is empty after it.
    const int firstEnd = rows.painted.indexOf(QStringLiteral(" Elaborati:5"));
    ASSERT_GE(firstEnd, 0) << rows.painted.join(u'|').toStdString();
    EXPECT_EQ(rows.painted.value(firstEnd + 1), QString());
    const int secondEnd = rows.painted.indexOf(QStringLiteral(" Elaborati:3"), firstEnd);
    ASSERT_GT(secondEnd, firstEnd) << rows.painted.join(u'|').toStdString();
    EXPECT_EQ(rows.painted.value(secondEnd + 1), QString());
    EXPECT_TRUE(table.painted.contains(QStringLiteral("Export Tabella Calendario; TotRecors: 5")));
    EXPECT_TRUE(table.painted.contains(QStringLiteral("Export Tabella CausaliPre; TotRecors: 3")));
    EXPECT_TRUE(form().label5->text().isEmpty());
    EXPECT_TRUE(form().label7->text().isEmpty());
    EXPECT_EQ(messageList(),
              (QStringList{QStringLiteral("Export Tabella Calendario...Completato (5 Records)"),
                           QStringLiteral("Export Tabella CausaliPre...Completato (3 Records)")}));
    // The wait pointer covers the run up to its completion message.
    EXPECT_EQ(pointerAtMessage_, std::vector<Qt::CursorShape>{Qt::WaitCursor});
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(MainWindowTest, AnExportFileThatAnotherRunWritesIsLeftToIt) {
    writeSettings(makeDatabase(kPresenzeTables));
    const QString exportFile = platform::ToolPaths(drive_.path()).exportFile();
    {
        QFile previous(exportFile);
        ASSERT_TRUE(previous.open(QIODevice::WriteOnly));
        previous.write("I,Precedente,0,0\r\n");
    }
    // Another run (another window, brivano-export) holds the file.
    platform::FileLock::Outcome outcome = platform::FileLock::Outcome::Failed;
    std::error_code error;
    platform::FileLock other =
        platform::FileLock::tryTake(platform::lockPathFor(exportFile), outcome, error);
    ASSERT_EQ(outcome, platform::FileLock::Outcome::Taken) << error.message();
    openWindow();
    form().command[1]->click();  // "Presenze"
    form().selTab[0]->setChecked(true);

    click(form().label2);
    EXPECT_EQ(messages_, QStringList{QStringLiteral("Esportazione non eseguita: vedere l'elenco")});
    EXPECT_EQ(messageList(), QStringList{QStringLiteral(" - Il file di esportazione %1 è in uso da "
                                                        "un'altra esportazione")
                                             .arg(QDir::toNativeSeparators(exportFile))});
    EXPECT_EQ(exportFileText(), QStringLiteral("I,Precedente,0,0\r\n"));

    other.release();
    messages_.clear();
    click(form().label2);
    EXPECT_EQ(messages_, QStringList{kCompleted});
    EXPECT_TRUE(exportFileText().startsWith(QStringLiteral("I,Calendario,")))
        << exportFileText().toStdString();
}

TEST_F(MainWindowTest, GroupButtonDuringTheRunChangesWhatTheRunSeesAhead) {
    writeSettings(makeDatabase(kPresenzeTables));
    openWindow();
    tickGroup(1);  // "Presenze": all twelve ticked
    // Choosing the group again unticks every box while the first table runs.
    duringTheRun(&window(), [this] { click(form().command[1]); });

    click(form().image3);

    EXPECT_EQ(messageList(),
              QStringList{QStringLiteral("Export Tabella Calendario...Completato (5 Records)")});
    EXPECT_TRUE(exportFileText().startsWith(QStringLiteral("I,Calendario,2,4\r\n")));
    EXPECT_FALSE(exportFileText().contains(QStringLiteral("CausaliPre")));
}

TEST_F(MainWindowTest, StartDuringTheRunIsIgnored) {
    writeSettings(makeDatabase(kPresenzeTables));
    openWindow();
    form().command[1]->click();
    form().selTab[0]->setChecked(true);
    duringTheRun(&window(), [this] {
        click(form().label2);
        form().tabelle->click();
    });

    click(form().label2);

    EXPECT_EQ(messages_, QStringList{kCompleted});
    EXPECT_EQ(messageList(),
              QStringList{QStringLiteral("Export Tabella Calendario...Completato (5 Records)")});
}

TEST_F(MainWindowTest, PrintDuringTheRunPrintsTheListAsItStands) {
    writeSettings(makeDatabase(kPresenzeTables));
    openWindow();
    form().command[1]->click();
    form().selTab[0]->setChecked(true);
    duringTheRun(&window(), [this] { click(form().image1); });

    click(form().label2);

    ASSERT_EQ(printedDocuments_, 1);
    EXPECT_TRUE(brivano::test::pdfText(drive_.filePath(QStringLiteral("print-1.pdf")))
                    .contains(QStringLiteral("Export Tabella Calendario...")));
}

TEST_F(MainWindowTest, ClosingDuringTheRunStopsItThenClosesTheWindow) {
    writeSettings(makeDatabase(kPresenzeTables));
    openWindow();
    tickGroup(1);
    duringTheRun(&window(), [this] { window().close(); });

    click(form().label2);

    EXPECT_FALSE(window().isVisible());
    EXPECT_FALSE(window().exportRun().isRunning());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    // The run stopped in its first table: no later table was started.
    EXPECT_FALSE(messageList().join(u'|').contains(QStringLiteral("CausaliPre")));
}

TEST_F(MainWindowTest, ConnectionStringTypedIntoText2IsUsedByTheNextRun) {
    const QString tables = makeDatabase(kPresenzeTables);
    writeSettings(QStringLiteral("Driver=SQLite3;Database=/nowhere/missing.db;NoCreat=1"));
    openWindow();
    form().text2->setText(tables);
    form().command[1]->click();
    form().selTab[1]->setChecked(true);

    click(form().label2);

    EXPECT_EQ(window().exportRun().ConnString(), tables);
    EXPECT_EQ(messageList(),
              QStringList{QStringLiteral("Export Tabella CausaliPre...Completato (3 Records)")});
}

}  // namespace
}  // namespace brivano::app::test
