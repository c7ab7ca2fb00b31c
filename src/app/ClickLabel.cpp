#include "app/ClickLabel.h"

#include <QMouseEvent>

namespace brivano::app {

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
