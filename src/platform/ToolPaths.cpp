#include "platform/ToolPaths.h"

#include <QDir>
#include <utility>

namespace brivano::platform {
namespace {

const QString kSettingsFile = QStringLiteral("Programmi/Tavorin/Set/Connection.set");
const QString kFallbackSettingsFile = QStringLiteral("Program Files/Tavorin/Set/Connection.set");
const QString kExportFile = QStringLiteral("Export.txt");

// In the system's own spelling: C:\Export.txt on Windows, where the path is
// also what the operator reads.
QString onDrive(const QString& driveRoot, const QString& file) {
    return QDir::toNativeSeparators(QDir(driveRoot).filePath(file));
}

}  // namespace

ToolPaths::ToolPaths(QString driveRoot) : driveRoot_(std::move(driveRoot)) {}

QString ToolPaths::settingsFile() const {
    return onDrive(driveRoot_, kSettingsFile);
}

QString ToolPaths::fallbackSettingsFile() const {
    return onDrive(driveRoot_, kFallbackSettingsFile);
}

QString ToolPaths::exportFile() const {
    return onDrive(driveRoot_, kExportFile);
}

}  // namespace brivano::platform
