#include <gtest/gtest.h>

#include <QDir>

#include "platform/ToolPaths.h"

namespace brivano::platform {
namespace {

TEST(ToolPathsOnLinux, TheHomeFolderStandsInForDriveC) {
    EXPECT_EQ(ToolPaths::forCurrentUser().exportFile(), QDir::home().filePath("Export.txt"));
}

}  // namespace
}  // namespace brivano::platform
