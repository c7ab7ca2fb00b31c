// brivano-export over settings files that are no regular file or never
// end: each is a usage error, told at once, never a wait.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "ExportProcess.h"
#include "platform/ToolPaths.h"

namespace brivano::cli::test {
namespace {

constexpr int kUsageExit = 2;
constexpr qint64 kGigabyte = qint64{1} << 30;

class ExportSettingsTest : public ::testing::Test {
  protected:
    QString home() const { return home_.path(); }
    QString makeFifo(const QString& path) {
        EXPECT_TRUE(QDir().mkpath(QFileInfo(path).path()));
        EXPECT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        return path;
    }

    QTemporaryDir home_;
};

TEST_F(ExportSettingsTest, AFifoADeviceOrAGigabyteGivenWithSettingsIsAUsageError) {
    const QString fifo = makeFifo(home_.filePath(QStringLiteral("fifo.set")));
    const QString sparse = home_.filePath(QStringLiteral("sparse.set"));
    QFile file(sparse);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_TRUE(file.resize(kGigabyte));
    file.close();
    const struct {
        QString path;
        QString reason;
    } cases[] = {
        {fifo, QStringLiteral("non è un file ordinario")},
        {QStringLiteral("/dev/zero"), QStringLiteral("non è un file ordinario")},
        {sparse, QStringLiteral("la prima riga supera i 65536 byte")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        const ProcessResult result = runExport({"--settings", c.path, "T"}, home());
        EXPECT_EQ(result.exitCode, kUsageExit);
        EXPECT_TRUE(result.err.startsWith(
            QStringLiteral("brivano-export: Impossibile leggere il file delle impostazioni %1: ")
                .arg(c.path)))
            << result.err.toStdString();
        EXPECT_TRUE(result.err.contains(c.reason)) << result.err.toStdString();
    }
}

TEST_F(ExportSettingsTest, AFifoAsTheDefaultSettingsFileMeansNoConnectionString) {
    makeFifo(platform::ToolPaths(home()).settingsFile());
    const ProcessResult result = runExport({"T"}, home());
    EXPECT_EQ(result.exitCode, kUsageExit);
    EXPECT_TRUE(result.err.startsWith(QStringLiteral("brivano-export: no connection string")))
        << result.err.toStdString();
}

}  // namespace
}  // namespace brivano::cli::test
