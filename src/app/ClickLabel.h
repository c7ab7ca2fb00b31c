#pragma once

#include <QLabel>

namespace brivano::app {

// A label or picture that runs a command when clicked: the left button
// pressed on it and released over it, as a button would take it.
class ClickLabel : public QLabel {
    Q_OBJECT

  public:
    using QLabel::QLabel;

  signals:
    void clicked();

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    bool pressed_ = false;
};

}  // namespace brivano::app
