#pragma once

#include <QString>
#include <array>

#include "export/ExportHost.h"
#include "export/TableGroups.h"

class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QWidget;

namespace brivano::app {

class ClickLabel;

// The controls of the window Export, each at its place, with its kind,
// container, text and looks as the operator knows them. The window owns
// them all (Qt parent ownership); this only names them. Building wires no
// command: MainWindow does that.
struct ExportForm {
    static constexpr int kGroupButtons = exporter::kGroupCount;
    static constexpr int kCommandButtons = 6;
    static constexpr int kPanels = 3;
    // Command5 "Seleziona tutti" and Command6 "Annulla selezione".
    static constexpr int kTickAllButton = 4;
    static constexpr int kUntickAllButton = 5;

    QLabel* label1 = nullptr;                               // title "EXPORT TABELLE"
    QLineEdit* text2 = nullptr;                             // connection string
    std::array<QFrame*, kPanels> visTas{};                  // step panels, VisTas(0)..(2)
    QLabel* label3 = nullptr;                               // "1."
    QLabel* label4 = nullptr;                               // "Selezionare le Tabelle"
    std::array<QPushButton*, kCommandButtons> command{};    // Command1..Command6
    std::array<QCheckBox*, exporter::kSlotCount> selTab{};  // SelTab(0)..(29)
    QPushButton* tabelle = nullptr;                         // start command, behind VisTas(1)
    QLabel* label6 = nullptr;                               // "2."
    ClickLabel* label2 = nullptr;                           // "Start Export"
    ClickLabel* image3 = nullptr;                           // paper and pencil
    QPushButton* stampa = nullptr;                          // print command, behind VisTas(0)
    ClickLabel* label37 = nullptr;                          // "Stampa"
    ClickLabel* image1 = nullptr;                           // printer
    QListWidget* errori = nullptr;                          // message list
    QLabel* label5 = nullptr;                               // status: table and its size
    QLabel* label7 = nullptr;                               // status: rows written

    // Creates every control inside `window` and sets the window's own size,
    // caption, icon, font and colours. Throws brivano::Error when a picture
    // cannot be loaded.
    static ExportForm build(QWidget& window);
};

// The object name of SelTab box `index`, "SelTab(7)": how tests and the
// accessibility tree find a box.
QString slotObjectName(int index);

}  // namespace brivano::app
