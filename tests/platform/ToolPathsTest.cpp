#include <gtest/gtest.h>

#include <QDir>

#include "platform/ToolPaths.h"

namespace brivano::platform {
namespace {

TEST(ToolPaths, PutsTheFilesUnderTheDriveRoot) {
    const ToolPaths paths(QStringLiteral("/drive"));
    // In the system's spelling: backslashes on Windows.
    EXPECT_EQ(QDir::fromNativeSeparators(paths.settingsFile()),
              QStringLiteral("/drive/Programmi/Tavorin/Set/Connection.set"));
    EXPECT_EQ(QDir::fromNativeSeparators(paths.fallbackSettingsFile()),
              QStringLiteral("/drive/Program Files/Tavorin/Set/Connection.set"));
    EXPECT_EQ(QDir::fromNativeSeparators(paths.exportFile()), QStringLiteral("/drive/Export.txt"));
}

}  // namespace
}  // namespace brivano::platform
