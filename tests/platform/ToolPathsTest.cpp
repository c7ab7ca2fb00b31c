#include <gtest/gtest.h>

#include <QDir>

#include "platform/ToolPaths.h"

namespace brivano::platform {
namespace {

TEST(ToolPaths, PutsTheFilesUnderTheDriveRoot) {
    const ToolPaths paths(QStringLiteral("/drive"));
    EXPECT_EQ(paths.settingsFile(), QStringLiteral("/drive/Programmi/Tavorin/Set/Connection.set"));
    EXPECT_EQ(paths.fallbackSettingsFile(),
              QStringLiteral("/drive/Program Files/Tavorin/Set/Connection.set"));
    EXPECT_EQ(paths.exportFile(), QStringLiteral("/drive/Export.txt"));
#ifndef Q_OS_WIN
    EXPECT_EQ(ToolPaths::forCurrentUser().exportFile(), QDir::home().filePath("Export.txt"));
#endif
}

}  // namespace
}  // namespace brivano::platform
