#pragma once

#include <QString>

namespace brivano::platform {

// The tool's fixed files, all on one drive: the settings file (under the
// programs folder's Italian name, else its English one) and the export file.
// On Windows the drive is C:; on Linux the user's home folder stands in for
// it. Tests build one over a temporary folder.
class ToolPaths {
  public:
    // C:/ on Windows, the home folder elsewhere.
    static ToolPaths forCurrentUser();

    explicit ToolPaths(QString driveRoot);

    const QString& driveRoot() const { return driveRoot_; }
    // Programmi/Tavorin/Set/Connection.set: tried first.
    QString settingsFile() const;
    // Program Files/Tavorin/Set/Connection.set: tried only when the first
    // cannot be opened.
    QString fallbackSettingsFile() const;
    // Export.txt at the drive's root.
    QString exportFile() const;

  private:
    QString driveRoot_;
};

}  // namespace brivano::platform
