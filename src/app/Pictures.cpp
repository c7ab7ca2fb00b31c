#include "app/Pictures.h"

#include <QString>

#include "db/Error.h"
#include "texts/Texts.h"

// The resources live in a static library, whose registration the linker
// would drop: register them explicitly, once, before the first look-up.
static void registerPictureResources() {
    static const bool registered = [] {
        Q_INIT_RESOURCE(brivano);
        return true;
    }();
    (void)registered;
}

namespace brivano::app {
namespace {

QPixmap resourcePixmap(const QString& name) {
    registerPictureResources();
    const QString path = QStringLiteral(":/brivano/") + name;
    QPixmap pixmap(path);
    if (pixmap.isNull()) {
        throw Error(0, texts::missingPicture(path));
    }
    return pixmap;
}

}  // namespace

QIcon windowIcon() {
    QIcon icon;
    icon.addPixmap(resourcePixmap(QStringLiteral("icon32.png")));
    icon.addPixmap(resourcePixmap(QStringLiteral("icon16.png")));
    return icon;
}

QPixmap paperAndPencilPicture() {
    return resourcePixmap(QStringLiteral("paper-pencil.xpm"));
}

QPixmap printerPicture() {
    return resourcePixmap(QStringLiteral("printer.xpm"));
}

QCursor handPointer() {
    return QCursor(resourcePixmap(QStringLiteral("hand.xpm")), kHandHotSpotX, kHandHotSpotY);
}

}  // namespace brivano::app
