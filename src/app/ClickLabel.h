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

    // The button that runs the same command from the keyboard, hidden
    // behind this label: while it has the focus, the label shows the focus
    // frame in its place.
    void setFocusStandIn(QWidget* button);
    bool showsFocusFrame() const { return showsFocus_; }

  signals:
    void clicked();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

  private:
    bool pressed_ = false;
    bool showsFocus_ = false;
};

}  // namespace brivano::app
