#pragma once

#include <QRect>
#include <QSize>

namespace brivano::app {

// The window's layout is kept in twips (1/1440 inch), measured from the
// top-left corner of each control's container. At 96 dots per inch one
// pixel is 15 twips; this is the one place where twips become pixels.
inline constexpr int kTwipsPerPixel = 15;

// Rounds to the nearest pixel, so a twip value that is not a multiple of 15
// lands where the classic layout engine put it.
constexpr int twipsToPixels(int twips) {
    return (twips + kTwipsPerPixel / 2) / kTwipsPerPixel;
}

constexpr QRect twipRect(int left, int top, int width, int height) {
    return QRect(twipsToPixels(left), twipsToPixels(top), twipsToPixels(width),
                 twipsToPixels(height));
}

constexpr QSize twipSize(int width, int height) {
    return QSize(twipsToPixels(width), twipsToPixels(height));
}

}  // namespace brivano::app
