// The window's start over a settings file that would never give a line.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>

#include "MainWindowTestFixture.h"
#include "platform/ToolPaths.h"

namespace brivano::app::test {
namespace {

TEST_F(MainWindowTest, AFifoAsTheSettingsFileLeavesText2EmptyAndTheWindowOpens) {
    // Nobody writes into the FIFO: a load step that opened it would wait
    // for ever, and the window would never appear.
    const QString settings = platform::ToolPaths(drive_.path()).settingsFile();
    ASSERT_TRUE(QDir().mkpath(QFileInfo(settings).path()));
    ASSERT_EQ(::mkfifo(QFile::encodeName(settings).constData(), 0600), 0);
    openWindow();
    EXPECT_TRUE(window().isVisible());
    EXPECT_TRUE(form().text2->text().isEmpty());
    EXPECT_EQ(form().errori->count(), 0);
    EXPECT_TRUE(messages_.isEmpty());
}

}  // namespace
}  // namespace brivano::app::test
