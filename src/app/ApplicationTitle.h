#pragma once

#include <QString>

namespace brivano::app {

// The window's caption and the title of every message box.
inline QString applicationTitle() {
    return QStringLiteral("Brivano");
}

}  // namespace brivano::app
