// Where an export cannot go on Windows, what the operator reads about it,
// and how the finished file takes the old one's place.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <functional>

#include "db/Error.h"
#include "export/ExportTarget.h"

namespace brivano::exporter {
namespace {

QByteArray contentOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

TEST(ExportTargetOnWindows, APlaceWhereNoExportCanGoIsNamedWithTheReason) {
    QTemporaryDir drive;
    const QString root = QDir::toNativeSeparators(drive.path()) + u'\\';
    const QString cannotCreate = QStringLiteral("Impossibile creare il file di esportazione ");
    const struct {
        const char* behaviour;
        QString path;
        std::function<void()> prepare;
        QString opening;  // what open() says, after the path
        bool refusedAhead;
    } cases[] = {
        {"a folder", root + "Cartella", [&] { QDir(drive.path()).mkdir("Cartella"); },
         QStringLiteral(" è una cartella"), true},
        {"a missing folder", root + "Manca\\Export.txt", [] {},
         QStringLiteral(": File o cartella inesistente"), false},
        // Windows says of a file in the way what it says of a missing folder.
        {"a file where a folder should be", root + "Piano\\Export.txt",
         [&] { writeFile(drive.filePath("Piano"), {}); },
         QStringLiteral(": File o cartella inesistente"), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.behaviour);
        c.prepare();
        const QString expected =
            c.opening.startsWith(u':')
                ? cannotCreate + c.path + c.opening
                : QStringLiteral("Il file di esportazione ") + c.path + c.opening;
        try {
            ExportTarget::open(c.path);
            ADD_FAILURE() << "opened";
        } catch (const Error& error) {
            EXPECT_EQ(error.description().toStdString(), expected.toStdString());
        }
        EXPECT_EQ(ExportTarget::refusal(c.path).toStdString(),
                  c.refusedAhead ? expected.toStdString() : std::string());
    }
}

TEST(ExportTargetOnWindows, TheFinishedFileReplacesTheOldOneAndLeavesNothingBeside) {
    QTemporaryDir drive;
    const QString path = QDir::toNativeSeparators(drive.filePath("Export.txt"));
    writeFile(path, "previous\r\n");
    const auto target = ExportTarget::open(path);
    target->beginBlock();
    target->write("new\r\n");
    target->endBlock();
    EXPECT_EQ(contentOf(path), "previous\r\n");  // until the export is committed
    target->commit();
    EXPECT_EQ(contentOf(path), "new\r\n");
    EXPECT_EQ(QDir(drive.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"Export.txt"});
}

TEST(ExportTargetOnWindows, AFileThatAnotherProgramHoldsOpenIsKeptAndTheFailureNamed) {
    QTemporaryDir drive;
    const QString path = QDir::toNativeSeparators(drive.filePath("Export.txt"));
    writeFile(path, "previous\r\n");
    // Qt opens without FILE_SHARE_DELETE, as most programs do: Windows
    // then lets nobody replace the file.
    QFile reader(path);
    ASSERT_TRUE(reader.open(QIODevice::ReadOnly));
    const auto target = ExportTarget::open(path);
    target->write("new\r\n");
    try {
        target->commit();
        ADD_FAILURE() << "replaced a file held open";
    } catch (const Error& error) {
        EXPECT_EQ(error.description().toStdString(),
                  ("Impossibile sostituire il file di esportazione " + path + ": Permesso negato")
                      .toStdString());
    }
    target->abandon();
    reader.close();
    EXPECT_EQ(contentOf(path), "previous\r\n");
    EXPECT_EQ(QDir(drive.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"Export.txt"});
}

TEST(ExportTargetOnWindows, TheNullDeviceIsWrittenStraightThrough) {
    EXPECT_EQ(ExportTarget::refusal(QStringLiteral("NUL")), QString());
    const auto target = ExportTarget::open(QStringLiteral("NUL"));
    target->beginBlock();
    target->write("gone\r\n");
    target->endBlock();
    EXPECT_NO_THROW(target->commit());
}

}  // namespace
}  // namespace brivano::exporter
