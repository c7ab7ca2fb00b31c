// The window as the operator first sees it: every control's place, kind,
// container and text, its looks, its pictures and the keyboard order.
#include <QApplication>
#include <QCheckBox>
#include <QFontInfo>
#include <QFrame>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <optional>

#include "MainWindowTestFixture.h"
#include "app/ClickLabel.h"
#include "app/GroupCommands.h"
#include "app/WindowLook.h"

namespace brivano::app::test {
namespace {

enum class Kind { Label, Picture, TextBox, Panel, Button, CheckBox, ListBox };

struct ControlRow {
    QString name;
    Kind kind;
    QString container;
    QRect pixels;
    std::optional<QString> text;  // none: no text to check
    bool shown = true;
};

// Pixels at 15 twips a pixel; the containers' corners are their origins.
const std::vector<ControlRow> kControls = {
    {"Label1", Kind::Label, "Export", {136, 8, 457, 17}, QStringLiteral("EXPORT TABELLE")},
    {"Text2", Kind::TextBox, "Export", {8, 40, 713, 19}, std::nullopt},
    {"VisTas(2)", Kind::Panel, "Export", {88, 64, 529, 41}, std::nullopt},
    {"Label3", Kind::Label, "VisTas(2)", {232, 8, 17, 33}, QStringLiteral("1.")},
    {"Label4",
     Kind::Label,
     "VisTas(2)",
     {248, 16, 97, 25},
     QStringLiteral("Selezionare le Tabelle")},
    {"Command1", Kind::Button, "Export", {8, 112, 81, 21}, QStringLiteral("Tempi")},
    {"Command2", Kind::Button, "Export", {88, 112, 81, 21}, QStringLiteral("Presenze")},
    {"Command3", Kind::Button, "Export", {168, 112, 81, 21}, QStringLiteral("Accessi")},
    {"Command4", Kind::Button, "Export", {248, 112, 81, 21}, QStringLiteral("Planning")},
    {"Command5", Kind::Button, "Export", {536, 112, 97, 25}, QStringLiteral("Seleziona tutti")},
    {"Command6", Kind::Button, "Export", {632, 112, 97, 25}, QStringLiteral("Annulla selezione")},
    {"Tabelle", Kind::Button, "Export", {192, 296, 97, 33}, QStringLiteral("Creazione Tabelle")},
    {"VisTas(1)", Kind::Panel, "Export", {64, 296, 529, 41}, std::nullopt},
    {"Label6", Kind::Label, "VisTas(1)", {232, 8, 17, 33}, QStringLiteral("2.")},
    {"Label2", Kind::Label, "VisTas(1)", {248, 16, 97, 25}, QStringLiteral("Start Export")},
    {"Image3", Kind::Picture, "VisTas(1)", {352, 8, 32, 32}, std::nullopt},
    {"Stampa", Kind::Button, "Export", {640, 304, 89, 17}, QStringLiteral("Stampa Errori")},
    {"VisTas(0)", Kind::Panel, "Export", {632, 296, 105, 41}, std::nullopt},
    {"Label37", Kind::Label, "VisTas(0)", {16, 16, 57, 25}, QStringLiteral("Stampa")},
    {"Image1", Kind::Picture, "VisTas(0)", {64, 8, 32, 32}, std::nullopt},
    {"Errori", Kind::ListBox, "Export", {8, 352, 713, 199}, std::nullopt},
    // 3 pixels of each status label hang below the 574-pixel client area.
    {"Label5", Kind::Label, "Export", {16, 560, 273, 17}, QString()},
    {"Label7", Kind::Label, "Export", {296, 560, 273, 17}, QString()},
};

std::vector<ControlRow> allControls() {
    std::vector<ControlRow> rows = kControls;
    for (int i = 0; i < 30; ++i) {
        rows.push_back({QStringLiteral("SelTab(%1)").arg(i), Kind::CheckBox, "Export",
                        QRect(16 + 144 * (i / 6), 144 + 24 * (i % 6), 137, 17),
                        QStringLiteral("Check1"), false});
    }
    return rows;
}

bool hasKind(QWidget* widget, Kind kind) {
    auto* label = qobject_cast<QLabel*>(widget);
    switch (kind) {
        case Kind::Label:
            return label != nullptr && label->pixmap().isNull();
        case Kind::Picture:
            return label != nullptr && label->pixmap().size() == QSize(32, 32);
        case Kind::TextBox:
            return qobject_cast<QLineEdit*>(widget) != nullptr;
        case Kind::Panel:
            return widget->metaObject() == &QFrame::staticMetaObject;
        case Kind::Button:
            return qobject_cast<QPushButton*>(widget) != nullptr;
        case Kind::CheckBox:
            return qobject_cast<QCheckBox*>(widget) != nullptr;
        case Kind::ListBox:
            return qobject_cast<QListWidget*>(widget) != nullptr;
    }
    return false;
}

QString textOf(QWidget* widget) {
    if (auto* label = qobject_cast<QLabel*>(widget)) {
        return label->text();
    }
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        return button->text();
    }
    return {};
}

TEST_F(MainWindowTest, EveryControlHasItsPlaceKindContainerTextAndVisibility) {
    openWindow();
    for (const ControlRow& row : allControls()) {
        SCOPED_TRACE(row.name.toStdString());
        QWidget* widget = control(row.name);
        ASSERT_NE(widget, nullptr);
        EXPECT_TRUE(hasKind(widget, row.kind));
        EXPECT_EQ(widget->parentWidget()->objectName(), row.container);
        EXPECT_EQ(widget->geometry(), row.pixels);
        if (row.text) {
            EXPECT_EQ(textOf(widget), *row.text);
        }
        EXPECT_EQ(widget->isVisibleTo(&window()), row.shown);
        EXPECT_TRUE(widget->isEnabled());
    }
}

TEST_F(MainWindowTest, WindowIsFixedLightBlueWithCaptionAndArrowIcon) {
    openWindow();
    EXPECT_EQ(window().windowTitle(), QStringLiteral("Brivano"));
    EXPECT_EQ(window().size(), QSize(738, 574));
    EXPECT_EQ(window().minimumSize(), window().maximumSize());
    EXPECT_EQ(window().palette().color(QPalette::Window), QColor(192, 192, 255));
    const QList<QSize> iconSizes = window().windowIcon().availableSizes();
    EXPECT_TRUE(iconSizes.contains(QSize(32, 32)));
    EXPECT_TRUE(iconSizes.contains(QSize(16, 16)));
    // What is painted at the right edge of each panel and box, away from
    // its text and pictures.
    form().command[0]->click();
    for (const char* name : {"VisTas(0)", "VisTas(1)", "VisTas(2)", "SelTab(0)", "SelTab(17)"}) {
        SCOPED_TRACE(name);
        QWidget* widget = control(QString::fromLatin1(name));
        const QImage painted = widget->grab().toImage();
        EXPECT_EQ(painted.pixelColor(painted.width() - 2, painted.height() / 2), kLightBlue);
    }
    // Transparent labels paint no background of their own.
    for (const char* name : {"Label1", "Label2", "Label3", "Label4", "Label5", "Label37"}) {
        EXPECT_FALSE(control(QString::fromLatin1(name))->autoFillBackground()) << name;
    }
}

TEST_F(MainWindowTest, TitleAndStepNumbersHaveTheirFonts) {
    openWindow();
    const QFontInfo title(form().label1->font());
    EXPECT_TRUE(title.family() == QStringLiteral("Arial") ||
                title.family() == QStringLiteral("Liberation Sans"))
        << title.family().toStdString();
    EXPECT_DOUBLE_EQ(form().label1->font().pointSizeF(), 9.75);
    EXPECT_TRUE(form().label1->font().bold());
    for (QLabel* number : {form().label3, form().label6}) {
        EXPECT_DOUBLE_EQ(number->font().pointSizeF(), 18);
        EXPECT_FALSE(number->font().bold());
    }
    EXPECT_EQ(form().label4->font(), window().font());
    EXPECT_EQ(form().label4->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    EXPECT_EQ(form().label5->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
}

TEST_F(MainWindowTest, CoveredButtonsCannotBeReachedByTheMouse) {
    openWindow();
    // What the mouse hits at the middle of each covered button, and where
    // Label37 overlaps the printer picture.
    struct Hit {
        QWidget* under;
        QPoint windowPoint;
        QWidget* expected;
    };
    const std::vector<Hit> hits = {
        {form().tabelle, form().tabelle->geometry().center(), form().visTas[1]},
        {form().stampa, form().stampa->geometry().center(), form().visTas[0]},
        {form().image1, form().visTas[0]->mapTo(&window(), QPoint(68, 20)), form().label37},
    };
    for (const Hit& hit : hits) {
        SCOPED_TRACE(hit.under->objectName().toStdString());
        QWidget* top = window().childAt(hit.windowPoint);
        ASSERT_NE(top, nullptr);
        EXPECT_NE(top, hit.under);
        EXPECT_TRUE(top == hit.expected || hit.expected->isAncestorOf(top));
    }
}

TEST_F(MainWindowTest, HandPointerAndHintOverClickableLabelsAndPictures) {
    openWindow();
    for (QLabel* widget :
         {form().label4, static_cast<QLabel*>(form().label2), static_cast<QLabel*>(form().label37),
          static_cast<QLabel*>(form().image3), static_cast<QLabel*>(form().image1)}) {
        SCOPED_TRACE(widget->objectName().toStdString());
        const QCursor pointer = widget->cursor();
        EXPECT_EQ(pointer.shape(), Qt::BitmapCursor);
        EXPECT_EQ(pointer.hotSpot(), QPoint(12, 1));
        EXPECT_EQ(pointer.pixmap().size(), QSize(32, 32));
        const bool picture = !widget->pixmap().isNull();
        EXPECT_EQ(widget->toolTip(), picture ? QStringLiteral("Conferma") : QString());
    }
    EXPECT_NE(form().label1->cursor().shape(), Qt::BitmapCursor);
}

TEST_F(MainWindowTest, LoadStepFillsText2AndLeavesEverythingElseEmpty) {
    writeSettings(QStringLiteral("Driver=SQLite3;Database=/data/tavorin.db"));
    openWindow();
    EXPECT_EQ(form().text2->text(), QStringLiteral("Driver=SQLite3;Database=/data/tavorin.db"));
    EXPECT_EQ(window().exportRun().ConnString(), form().text2->text());
    EXPECT_EQ(form().errori->count(), 0);
    EXPECT_TRUE(form().label5->text().isEmpty());
    EXPECT_TRUE(form().label7->text().isEmpty());
    for (int i = 0; i < 30; ++i) {
        EXPECT_TRUE(form().selTab[i]->isHidden()) << i;
        EXPECT_FALSE(form().selTab[i]->isChecked()) << i;
    }
    EXPECT_EQ(focused(), form().text2);
    EXPECT_TRUE(messages_.isEmpty());
}

TEST_F(MainWindowTest, WithoutSettingsFileText2IsEmptyAndNothingIsShown) {
    openWindow();
    EXPECT_TRUE(form().text2->text().isEmpty());
    EXPECT_TRUE(messages_.isEmpty());
}

TEST_F(MainWindowTest, TabWalksThroughTheControlsInTheirOrderSkippingHiddenBoxes) {
    openWindow();
    const QStringList head = {"Text2", "Tabelle", "Errori", "Stampa"};
    const QStringList buttons = {"Command1", "Command2", "Command3",
                                 "Command4", "Command5", "Command6"};
    QStringList walk;
    const auto walkOnce = [&](int steps) {
        walk.clear();
        for (int i = 0; i < steps; ++i) {
            walk << focused()->objectName();
            pressKey(Qt::Key_Tab);
        }
    };
    walkOnce(head.size() + buttons.size() + 1);
    EXPECT_EQ(walk, head + buttons + QStringList{"Text2"});

    // "Presenze" shows twelve boxes, which join the walk in index order.
    form().command[1]->click();
    form().text2->setFocus();
    QStringList boxes;
    for (int i = 0; i < 12; ++i) {
        boxes << QStringLiteral("SelTab(%1)").arg(i);
    }
    walkOnce(head.size() + boxes.size() + buttons.size() + 1);
    EXPECT_EQ(walk, head + boxes + buttons + QStringList{"Text2"});

    for (QWidget* widget : window().findChildren<QLabel*>()) {
        EXPECT_EQ(widget->focusPolicy(), Qt::NoFocus) << widget->objectName().toStdString();
    }
}

TEST_F(MainWindowTest, TheHiddenButtonsShowTheirFocusOnTheLabelsInFrontOfThem) {
    openWindow();
    const struct {
        QWidget* button;
        ClickLabel* label;
        ClickLabel* other;
    } pairs[] = {{form().tabelle, form().label2, form().label37},
                 {form().stampa, form().label37, form().label2}};
    for (const auto& pair : pairs) {
        SCOPED_TRACE(pair.button->objectName().toStdString());
        const QImage before = pair.label->grab().toImage();
        pair.button->setFocus(Qt::TabFocusReason);
        QApplication::processEvents();
        EXPECT_TRUE(pair.label->showsFocusFrame());
        EXPECT_FALSE(pair.other->showsFocusFrame());
        EXPECT_NE(pair.label->grab().toImage(), before);  // the frame is drawn
        form().text2->setFocus(Qt::TabFocusReason);
        QApplication::processEvents();
        EXPECT_FALSE(pair.label->showsFocusFrame());
        EXPECT_EQ(pair.label->grab().toImage(), before);
    }
}

TEST_F(MainWindowTest, AScreenReaderHearsItalianNamesForTheControls) {
    openWindow();
    const struct {
        const char* control;
        const char* name;
    } cases[] = {
        {"Text2", "Stringa di connessione"},
        {"Errori", "Elenco dei messaggi"},
        {"Label2", "Avvia esportazione"},
        {"Image3", "Avvia esportazione"},
        {"Tabelle", "Avvia esportazione"},
        {"Label37", "Stampa l'elenco dei messaggi"},
        {"Image1", "Stampa l'elenco dei messaggi"},
        {"Stampa", "Stampa l'elenco dei messaggi"},
        {"Command1", "Gruppo Tempi"},
        {"Command4", "Gruppo Planning"},
        {"Command5", "Seleziona tutti"},
        {"Command6", "Annulla selezione"},
    };
    for (const auto& c : cases) {
        QWidget* widget = control(QString::fromLatin1(c.control));
        EXPECT_EQ(widget->accessibleName(), QString::fromUtf8(c.name)) << c.control;
        EXPECT_FALSE(widget->accessibleDescription().isEmpty()) << c.control;
    }
}

}  // namespace
}  // namespace brivano::app::test
