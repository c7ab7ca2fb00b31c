#pragma once

#include <QColor>
#include <QFont>

namespace brivano::app {

// Colours and fonts of the main window.

// The light blue of the window, the step panels and the table boxes.
inline constexpr QColor kLightBlue{192, 192, 255};

// The window's own font, which every control without a font of its own
// inherits: the classic 8-point sans the layout was measured with.
QFont windowFont();

// The title "EXPORT TABELLE": Arial 9.75 pt bold, or the metric-compatible
// Liberation Sans where Arial is not installed.
QFont titleFont();

// The step numbers "1." and "2.": MS Sans Serif 18 pt, or a sans face of the
// same size where that bitmap face is missing.
QFont stepNumberFont();

}  // namespace brivano::app
