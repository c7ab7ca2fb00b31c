#include "db/ToolPaths.h"

#include <QDir>
#include <utility>

namespace brivano::db {
namespace {

const QString kSettingsFile = QStringLiteral("Programmi/Tavorin/Set/Connection.set");
const QString kFallbackSettingsFile = QStringLiteral("Program Files/Tavorin/Set/Connection.set");
const QString kExportFile = QStringLiteral("Export.txt");

}  // namespace

ToolPaths ToolPaths::forCurrentUser() {
#ifdef Q_OS_WIN
    return ToolPaths(QStringLiteral("C:/"));
#else
    return ToolPaths(QDir::homePath());
#endif
}

ToolPaths::ToolPaths(QString driveRoot) : driveRoot_(std::move(driveRoot)) {}

QString ToolPaths::settingsFile() const {
    return QDir(driveRoot_).filePath(kSettingsFile);
}

QString ToolPaths::fallbackSettingsFile() const {
    return QDir(driveRoot_).filePath(kFallbackSettingsFile);
}

QString ToolPaths::exportFile() const {
    return QDir(driveRoot_).filePath(kExportFile);
}

}  // namespace brivano::db
