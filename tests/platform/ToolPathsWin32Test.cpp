#include <gtest/gtest.h>

#include "platform/ToolPaths.h"

namespace brivano::platform {
namespace {

TEST(ToolPathsOnWindows, TheFilesAreOnDriveCAsTheOperatorsKnowThem) {
    const ToolPaths paths = ToolPaths::forCurrentUser();
    EXPECT_EQ(paths.exportFile(), QStringLiteral("C:\\Export.txt"));
    EXPECT_EQ(paths.settingsFile(), QStringLiteral("C:\\Programmi\\Tavorin\\Set\\Connection.set"));
    EXPECT_EQ(paths.fallbackSettingsFile(),
              QStringLiteral("C:\\Program Files\\Tavorin\\Set\\Connection.set"));
}

}  // namespace
}  // namespace brivano::platform
