#pragma once

#include <QLabel>

namespace brivano::app {

// A label or picture that runs a command when clicked: the left button
// pressed on it and released over it, as a button would take it. The second
// click of a double click is a double click, not another click, so a double
// click runs the command once.
class ClickLabel : public QLabel {
    Q_OBJECT

  public:
    using QLabel::QLabel;

  signals:
    void clicked();

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

  private:
    bool pressed_ = false;
};

}  // namespace brivano::app
