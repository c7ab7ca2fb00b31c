// The settings file in places that are no regular file, or that never end:
// a FIFO, a device, a sparse file of a gigabyte. Each is refused at once.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "platform/ToolPaths.h"
#include "settings/SettingsFile.h"
#include "texts/Error.h"

namespace brivano::settings {
namespace {

using platform::ToolPaths;

constexpr int kWesternCodePage = 1252;
constexpr qint64 kGigabyte = qint64{1} << 30;

void makeFifo(const QString& path) {
    ASSERT_TRUE(QDir().mkpath(QFileInfo(path).path()));
    ASSERT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
}

QString failureOf(const QString& path) {
    try {
        readConnectionStringFile(path, kWesternCodePage);
    } catch (const Error& error) {
        return error.description();
    }
    return QStringLiteral("(no failure)");
}

TEST(SettingsFileOnPosix, AFifoInPlaceOfTheFirstFileCountsAsUnreadable) {
    QTemporaryDir root;
    const ToolPaths paths(root.path());
    // Nobody writes into the FIFO: a reader that opened it would wait.
    makeFifo(paths.settingsFile());
    EXPECT_EQ(readConnectionString(paths, kWesternCodePage), QString());

    ASSERT_TRUE(QDir().mkpath(QFileInfo(paths.fallbackSettingsFile()).path()));
    QFile fallback(paths.fallbackSettingsFile());
    ASSERT_TRUE(fallback.open(QIODevice::WriteOnly));
    fallback.write("DSN=Second\r\n");
    fallback.close();
    EXPECT_EQ(readConnectionString(paths, kWesternCodePage), QStringLiteral("DSN=Second"));
}

TEST(SettingsFileOnPosix, AFifoOrADeviceGivenByNameIsRefusedWithItsReason) {
    QTemporaryDir root;
    const QString fifo = root.filePath(QStringLiteral("conn.set"));
    makeFifo(fifo);
    for (const QString& path : {fifo, QStringLiteral("/dev/zero"), QStringLiteral("/dev/null")}) {
        SCOPED_TRACE(path.toStdString());
        const QString failure = failureOf(path);
        EXPECT_TRUE(failure.startsWith(
            QStringLiteral("Impossibile leggere il file delle impostazioni %1: ").arg(path)))
            << failure.toStdString();
        EXPECT_TRUE(failure.contains(QStringLiteral("non è un file ordinario")))
            << failure.toStdString();
    }
}

TEST(SettingsFileOnPosix, AGigabyteWithoutALineEndIsRefusedAfterItsFirstLine) {
    QTemporaryDir root;
    const QString path = root.filePath(QStringLiteral("conn.set"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_TRUE(file.resize(kGigabyte));  // sparse: a gigabyte of zero bytes
    file.close();
    const QString failure = failureOf(path);
    EXPECT_TRUE(failure.endsWith(
        QStringLiteral("la prima riga supera i 65536 byte: non è una stringa di connessione")))
        << failure.toStdString();
}

}  // namespace
}  // namespace brivano::settings
