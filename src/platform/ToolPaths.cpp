#include "platform/ToolPaths.h"

#include <QDir>
#include <utility>

namespace brivano::platform {
namespace {

const QString kSettingsFile = QStringLiteral("Programmi/Tavorin/Set/Connection.set");
const QString kFallbackSettingsFile = QStringLiteral("Program Files/Tavorin/Set/Connection.set");
const QString kExportFile = QStringLiteral("Export.txt");

}  // namespace

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

}  // namespace brivano::platform
