#pragma once

#include <QCursor>
#include <QIcon>
#include <QPixmap>

namespace brivano::app {

// The window's pictures, drawn for Brivano and kept as resources. Each
// throws brivano::Error when its resource is missing from the build, so a
// broken build is noticed at start-up rather than as a blank control.

// The window icon: Brivano's upward arrow, 32 x 32 and 16 x 16, 16 colours,
// rendered from the application icon (data/icons).
QIcon windowIcon();

// Image3 beside "Start Export": a sheet of paper with a pencil, 32 x 32.
QPixmap paperAndPencilPicture();

// Image1 beside "Stampa": a printer, 32 x 32.
QPixmap printerPicture();

// The pointing hand shown over the clickable labels and pictures: 32 x 32,
// hot spot on the tip of the finger.
QCursor handPointer();

// Where the pointing hand's hot spot lies in its 32 x 32 picture.
inline constexpr int kHandHotSpotX = 12;
inline constexpr int kHandHotSpotY = 1;

}  // namespace brivano::app
