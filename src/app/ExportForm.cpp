#include "app/ExportForm.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QWidget>

#include "app/ClickLabel.h"
#include "app/Pictures.h"
#include "app/Twips.h"
#include "app/WindowLook.h"
#include "texts/Texts.h"

namespace brivano::app {
namespace {

// Client area of the window, in twips.
constexpr int kWindowWidth = 11070;
constexpr int kWindowHeight = 8610;

// The grid of table boxes: five columns of six boxes, filled column by column.
constexpr int kSlotRows = 6;
constexpr int kSlotLeft = 240;
constexpr int kSlotTop = 2160;
constexpr int kSlotColumnStep = 2160;
constexpr int kSlotRowStep = 360;
constexpr int kSlotWidth = 2055;
constexpr int kSlotHeight = 255;

constexpr Qt::Alignment kCentredLabel = Qt::AlignHCenter | Qt::AlignTop;
constexpr Qt::Alignment kLeftLabel = Qt::AlignLeft | Qt::AlignTop;

template <typename W>
W* place(W* widget, const QString& name, const QRect& pixels) {
    widget->setObjectName(name);
    widget->setGeometry(pixels);
    return widget;
}

void fillLightBlue(QWidget& widget) {
    QPalette palette = widget.palette();
    palette.setColor(QPalette::Window, kLightBlue);
    widget.setPalette(palette);
    widget.setAutoFillBackground(true);
}

// A label draws only its text (no background), so what lies behind shows
// through. Labels break their text between words like the classic label
// does, except where a single line must stay readable.
template <typename L = QLabel>
L* label(QWidget* parent, const QString& name, const QString& text, const QRect& pixels,
         Qt::Alignment alignment, bool wordWrap = true) {
    auto* widget = place(new L(text, parent), name, pixels);
    widget->setAlignment(alignment);
    widget->setWordWrap(wordWrap);
    widget->setAutoFillBackground(false);
    return widget;
}

ClickLabel* picture(QWidget* parent, const QString& name, const QPixmap& pixmap,
                    const QRect& pixels, const QCursor& hand) {
    auto* widget = place(new ClickLabel(parent), name, pixels);
    widget->setPixmap(pixmap);
    widget->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    widget->setToolTip(texts::kPictureHint.toString());
    widget->setCursor(hand);
    return widget;
}

QFrame* panel(QWidget* parent, int index, const QRect& pixels) {
    auto* frame = place(new QFrame(parent), QStringLiteral("VisTas(%1)").arg(index), pixels);
    frame->setFrameShape(QFrame::NoFrame);
    frame->setFocusPolicy(Qt::NoFocus);
    fillLightBlue(*frame);
    return frame;
}

QPushButton* button(QWidget* parent, const QString& name, const QString& text,
                    const QRect& pixels) {
    auto* widget = place(new QPushButton(text, parent), name, pixels);
    widget->setAutoDefault(false);
    return widget;
}

void setUpWindow(QWidget& window) {
    window.setObjectName(QStringLiteral("Export"));
    window.setWindowTitle(texts::kApplicationTitle.toString());
    window.setWindowIcon(windowIcon());
    window.setFont(windowFont());
    // The layout is fixed: nothing would follow a bigger window.
    window.setFixedSize(twipSize(kWindowWidth, kWindowHeight));
    fillLightBlue(window);
}

// The heading "1." "Selezionare le Tabelle": shows the first step; its
// label has the hand pointer but runs nothing.
void buildFirstStep(QWidget& window, ExportForm& form, const QCursor& hand) {
    form.visTas[2] = panel(&window, 2, twipRect(1320, 960, 7935, 615));
    form.label3 =
        label(form.visTas[2], QStringLiteral("Label3"), texts::kFirstStepNumber.toString(),
              twipRect(3480, 120, 255, 495), kLeftLabel, false);
    form.label3->setFont(stepNumberFont());
    form.label4 = label(form.visTas[2], QStringLiteral("Label4"), texts::kFirstStep.toString(),
                        twipRect(3720, 240, 1455, 375), kCentredLabel);
    form.label4->setCursor(hand);
}

void buildSelection(QWidget& window, ExportForm& form) {
    const auto& groups = exporter::tableGroups();
    const std::array<QString, ExportForm::kCommandButtons> captions = {
        groups[0].caption, groups[1].caption,          groups[2].caption,
        groups[3].caption, texts::kTickAll.toString(), texts::kUntickAll.toString()};
    static const std::array<QRect, ExportForm::kCommandButtons> places = {
        twipRect(120, 1680, 1215, 315),  twipRect(1320, 1680, 1215, 315),
        twipRect(2520, 1680, 1215, 315), twipRect(3720, 1680, 1215, 315),
        twipRect(8040, 1680, 1455, 375), twipRect(9480, 1680, 1455, 375)};
    for (int i = 0; i < ExportForm::kCommandButtons; ++i) {
        form.command[i] =
            button(&window, QStringLiteral("Command%1").arg(i + 1), captions[i], places[i]);
    }
    for (int i = 0; i < exporter::kSlotCount; ++i) {
        const int column = i / kSlotRows;
        const int row = i % kSlotRows;
        auto* box =
            place(new QCheckBox(texts::kUnassignedSlot.toString(), &window), slotObjectName(i),
                  twipRect(kSlotLeft + kSlotColumnStep * column, kSlotTop + kSlotRowStep * row,
                           kSlotWidth, kSlotHeight));
        // A box paints its own background and text in the button roles;
        // these take the window's light blue and window-text colour instead.
        box->setBackgroundRole(QPalette::Window);
        box->setForegroundRole(QPalette::WindowText);
        fillLightBlue(*box);
        box->setChecked(false);
        box->hide();
        form.selTab[i] = box;
    }
}

// "2." "Start Export" with its picture, and the button Tabelle that runs the
// same command from the keyboard, hidden from the mouse behind the panel.
void buildStartStep(QWidget& window, ExportForm& form, const QCursor& hand) {
    form.tabelle = button(&window, QStringLiteral("Tabelle"), texts::kStartButton.toString(),
                          twipRect(2880, 4440, 1455, 495));
    form.visTas[1] = panel(&window, 1, twipRect(960, 4440, 7935, 615));
    form.tabelle->stackUnder(form.visTas[1]);
    form.label6 =
        label(form.visTas[1], QStringLiteral("Label6"), texts::kSecondStepNumber.toString(),
              twipRect(3480, 120, 255, 495), kLeftLabel, false);
    form.label6->setFont(stepNumberFont());
    form.label2 =
        label<ClickLabel>(form.visTas[1], QStringLiteral("Label2"), texts::kStartExport.toString(),
                          twipRect(3720, 240, 1455, 375), kCentredLabel);
    form.label2->setCursor(hand);
    form.image3 = picture(form.visTas[1], QStringLiteral("Image3"), paperAndPencilPicture(),
                          twipRect(5280, 120, 480, 480), hand);
}

// "Stampa" with the printer picture, and the button Stampa behind the panel.
void buildPrintStep(QWidget& window, ExportForm& form, const QCursor& hand) {
    form.stampa = button(&window, QStringLiteral("Stampa"), texts::kPrintButton.toString(),
                         twipRect(9600, 4560, 1335, 255));
    form.visTas[0] = panel(&window, 0, twipRect(9480, 4440, 1575, 615));
    form.stampa->stackUnder(form.visTas[0]);
    form.label37 =
        label<ClickLabel>(form.visTas[0], QStringLiteral("Label37"), texts::kPrint.toString(),
                          twipRect(240, 240, 855, 375), kCentredLabel);
    form.label37->setCursor(hand);
    form.image1 = picture(form.visTas[0], QStringLiteral("Image1"), printerPicture(),
                          twipRect(960, 120, 480, 480), hand);
    // The label overlaps the picture's left edge and lies in front of it.
    form.label37->raise();
}

void buildMessages(QWidget& window, ExportForm& form) {
    form.errori =
        place(new QListWidget(&window), QStringLiteral("Errori"), twipRect(120, 5280, 10695, 2985));
    form.errori->setSortingEnabled(false);
    form.errori->setUniformItemSizes(true);
    form.errori->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    // Its bottom 45 twips lie below the client area and are cut off, as on
    // the window this layout comes from.
    form.label5 = label(&window, QStringLiteral("Label5"), QString(),
                        twipRect(240, 8400, 4095, 255), kLeftLabel, false);
    form.label7 = label(&window, QStringLiteral("Label7"), QString(),
                        twipRect(4440, 8400, 4095, 255), kLeftLabel, false);
}

// Text2, Tabelle, Errori, Stampa, the boxes, then the six buttons. Qt skips
// hidden boxes by itself; labels, pictures and panels never take focus.
void setKeyboardOrder(ExportForm& form) {
    QWidget* previous = form.text2;
    const auto chain = [&previous](QWidget* next) {
        QWidget::setTabOrder(previous, next);
        previous = next;
    };
    chain(form.tabelle);
    chain(form.errori);
    chain(form.stampa);
    for (QCheckBox* box : form.selTab) {
        chain(box);
    }
    for (QPushButton* button : form.command) {
        chain(button);
    }
}

void describe(QWidget* widget, QStringView name, QStringView help) {
    widget->setAccessibleName(name.toString());
    widget->setAccessibleDescription(help.toString());
}

// What a screen reader says, in the window's language; and the focus frame
// that the start and print buttons, hidden behind their labels, show on
// those labels.
void describeForScreenReaders(ExportForm& form) {
    describe(form.text2, texts::kConnectionBoxName, texts::kConnectionBoxHelp);
    describe(form.errori, texts::kMessageListName, texts::kMessageListHelp);
    for (QWidget* start : {static_cast<QWidget*>(form.tabelle), static_cast<QWidget*>(form.label2),
                           static_cast<QWidget*>(form.image3)})
        describe(start, texts::kStartName, texts::kStartHelp);
    for (QWidget* print : {static_cast<QWidget*>(form.stampa), static_cast<QWidget*>(form.label37),
                           static_cast<QWidget*>(form.image1)})
        describe(print, texts::kPrintName, texts::kPrintHelp);
    const auto& groups = exporter::tableGroups();
    for (int i = 0; i < ExportForm::kGroupButtons; ++i) {
        const QString& group = groups[static_cast<size_t>(i)].caption;
        describe(form.command[i], texts::groupButtonName(group), texts::groupButtonHelp(group));
    }
    describe(form.command[ExportForm::kTickAllButton], texts::kTickAll, texts::kTickAllHelp);
    describe(form.command[ExportForm::kUntickAllButton], texts::kUntickAll, texts::kUntickAllHelp);
    form.label2->setFocusStandIn(form.tabelle);
    form.label37->setFocusStandIn(form.stampa);
}

}  // namespace

QString slotObjectName(int index) {
    return QStringLiteral("SelTab(%1)").arg(index);
}

ExportForm ExportForm::build(QWidget& window) {
    setUpWindow(window);
    const QCursor hand = handPointer();
    ExportForm form;
    // Creation order is stacking order: later siblings lie in front.
    form.label1 = label(&window, QStringLiteral("Label1"), texts::kWindowTitle.toString(),
                        twipRect(2040, 120, 6855, 255), kCentredLabel, false);
    form.label1->setFont(titleFont());
    form.text2 = place(new QLineEdit(QStringLiteral("Text2"), &window), QStringLiteral("Text2"),
                       twipRect(120, 600, 10695, 285));
    buildFirstStep(window, form, hand);
    buildSelection(window, form);
    buildStartStep(window, form, hand);
    buildPrintStep(window, form, hand);
    buildMessages(window, form);
    setKeyboardOrder(form);
    describeForScreenReaders(form);
    form.text2->setFocus();
    return form;
}

}  // namespace brivano::app
