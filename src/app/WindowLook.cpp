#include "app/WindowLook.h"

#include <QFontDatabase>
#include <QString>

namespace brivano::app {
namespace {

constexpr qreal kWindowPointSize = 8;
constexpr qreal kTitlePointSize = 9.75;
constexpr qreal kStepNumberPointSize = 18;

// Metric-compatible stand-in for Arial and the classic sans faces
// (fonts-liberation on Debian).
const QString kSansFallback = QStringLiteral("Liberation Sans");

// The named family when this machine has it, else the sans fallback.
QFont sansFont(const QString& preferred, qreal pointSize) {
    QFont font(QFontDatabase::hasFamily(preferred) ? preferred : kSansFallback);
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(pointSize);
    return font;
}

}  // namespace

QFont windowFont() {
    return sansFont(QStringLiteral("MS Sans Serif"), kWindowPointSize);
}

QFont titleFont() {
    QFont font = sansFont(QStringLiteral("Arial"), kTitlePointSize);
    font.setBold(true);
    return font;
}

QFont stepNumberFont() {
    return sansFont(QStringLiteral("MS Sans Serif"), kStepNumberPointSize);
}

}  // namespace brivano::app
