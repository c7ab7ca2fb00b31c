#include "app/ClickLabel.h"

#include <QEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionFocusRect>

namespace brivano::app {

void ClickLabel::setFocusStandIn(QWidget* button) {
    button->installEventFilter(this);
}

bool ClickLabel::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut) {
        showsFocus_ = event->type() == QEvent::FocusIn;
        update();
    }
    return QLabel::eventFilter(watched, event);
}

void ClickLabel::paintEvent(QPaintEvent* event) {
    QLabel::paintEvent(event);
    if (!showsFocus_)
        return;
    QPainter painter(this);
    QStyleOptionFocusRect frame;
    frame.initFrom(this);
    // The buttons behind are reached only by the keyboard, and styles draw
    // the frame for a focus the keyboard moved.
    frame.state |= QStyle::State_HasFocus | QStyle::State_KeyboardFocusChange;
    frame.rect = rect().adjusted(1, 1, -1, -1);
    style()->drawPrimitive(QStyle::PE_FrameFocusRect, &frame, &painter, this);
}

void ClickLabel::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        pressed_ = true;
        event->accept();
        return;
    }
    QLabel::mousePressEvent(event);
}

void ClickLabel::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !pressed_) {
        QLabel::mouseReleaseEvent(event);
        return;
    }
    pressed_ = false;
    event->accept();
    // Released elsewhere: the operator changed their mind.
    if (rect().contains(event->position().toPoint())) {
        emit clicked();
    }
}

// QWidget would take the double click for a second press, and its release
// would run the command again: a double click on "Stampa" would print twice.
void ClickLabel::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QLabel::mouseDoubleClickEvent(event);
        return;
    }
    pressed_ = false;
    event->accept();
}

}  // namespace brivano::app
