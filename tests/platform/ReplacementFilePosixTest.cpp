// A new file that replaces its destination only when finished: unnamed while
// it is written, or under a hidden name where the file system has no
// unnamed files, and the folder synced after the rename.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "platform/Files.h"

namespace brivano::platform {
namespace {

using Naming = ReplacementFile::Naming;

QByteArray contentOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

class ReplacementFileTest : public ::testing::Test {
  protected:
    QString destination() const { return folder_.filePath(QStringLiteral("Export.txt")); }
    QStringList entries() const {
        return QDir(folder_.path())
            .entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot,
                       QDir::Name);
    }
    ReplacementFile create(Naming naming) {
        std::error_code error;
        ReplacementFile file = ReplacementFile::create(destination(), error, naming);
        EXPECT_FALSE(error) << error.message();
        return file;
    }

    QTemporaryDir folder_;
};

TEST_F(ReplacementFileTest, AnUnnamedFileShowsNothingUntilItReplacesTheDestination) {
    writeFile(destination(), "old\r\n");
    ASSERT_EQ(::chmod(QFile::encodeName(destination()).constData(), 0640), 0);
    ReplacementFile file = create(Naming::Unnamed);
    ASSERT_FALSE(file.write("new\r\n"));
    EXPECT_EQ(entries(), QStringList{"Export.txt"});
    ASSERT_FALSE(file.finishWriting());
    ASSERT_FALSE(file.replaceDestination());
    ASSERT_FALSE(file.syncFolder());
    EXPECT_EQ(contentOf(destination()), "new\r\n");
    EXPECT_EQ(entries(), QStringList{"Export.txt"});
    struct stat status {};
    ASSERT_EQ(::stat(QFile::encodeName(destination()).constData(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0640u);  // the old file's permissions
}

TEST_F(ReplacementFileTest, WithoutUnnamedFilesTheNewFileHasAHiddenNameOfItsOwn) {
    writeFile(destination(), "old\r\n");
    ReplacementFile file = create(Naming::Hidden);
    ASSERT_FALSE(file.write("new\r\n"));
    const QStringList during = entries();
    ASSERT_EQ(during.size(), 2) << during.join(u' ').toStdString();
    EXPECT_TRUE(isHiddenReplacementOf(destination(), during[0])) << during[0].toStdString();
    EXPECT_EQ(during[1], QStringLiteral("Export.txt"));
    ASSERT_FALSE(file.finishWriting());
    ASSERT_FALSE(file.replaceDestination());
    ASSERT_FALSE(file.syncFolder());
    EXPECT_EQ(contentOf(destination()), "new\r\n");
    EXPECT_EQ(entries(), QStringList{"Export.txt"});
}

TEST_F(ReplacementFileTest, ADroppedFileLeavesTheDestinationAsItWas) {
    writeFile(destination(), "old\r\n");
    for (const Naming naming : {Naming::Unnamed, Naming::Hidden}) {
        {
            ReplacementFile file = create(naming);
            ASSERT_FALSE(file.write("new\r\n"));
        }
        {
            // Finished, and so named, but never put in place.
            ReplacementFile file = create(naming);
            ASSERT_FALSE(file.write("new\r\n"));
            ASSERT_FALSE(file.finishWriting());
        }
        EXPECT_EQ(contentOf(destination()), "old\r\n");
        EXPECT_EQ(entries(), QStringList{"Export.txt"});
    }
}

TEST_F(ReplacementFileTest, OnlyTheHiddenNamesOfTheDestinationCountAsLeftovers) {
    const QString destination = this->destination();
    const struct {
        const char* name;
        bool leftover;
    } names[] = {
        {".Export.txt.brivano-Ab12Cd", true},
        {".Export.txt.brivano-XXXXXX", true},
        {".Export.txt.brivano-lock", false},   // the lock file
        {".Export.txt.brivano-Ab12C", false},  // one short
        {".Export.txt.brivano-Ab12Cd7", false},
        {".Export.txt.brivano-Ab-2Cd", false},
        {".Altro.txt.brivano-Ab12Cd", false},  // another destination's
        {"Export.txt.Ab12Cd", false},          // not hidden: nobody can tell whose
        {"Export.txt", false},
    };
    for (const auto& n : names)
        EXPECT_EQ(isHiddenReplacementOf(destination, QString::fromLatin1(n.name)), n.leftover)
            << n.name;
    for (const auto& n : names)
        writeFile(folder_.filePath(QString::fromLatin1(n.name)), "x");
    // A folder or a link of that name is nobody's leftover either.
    ASSERT_TRUE(QDir(folder_.path()).mkdir(QStringLiteral(".Export.txt.brivano-Folder")));
    ASSERT_TRUE(QFile::link(QStringLiteral("Export.txt"),
                            folder_.filePath(QStringLiteral(".Export.txt.brivano-Link12"))));

    removeAbandonedReplacements(destination);
    QStringList kept;
    for (const auto& n : names) {
        if (!n.leftover)
            kept << QString::fromLatin1(n.name);
    }
    kept << QStringLiteral(".Export.txt.brivano-Folder")
         << QStringLiteral(".Export.txt.brivano-Link12");
    kept.sort();
    EXPECT_EQ(entries(), kept);
}

TEST_F(ReplacementFileTest, TheLockFileLivesBesideTheDestination) {
    EXPECT_EQ(lockPathFor(folder_.filePath(QStringLiteral("Export.txt"))),
              folder_.filePath(QStringLiteral(".Export.txt.brivano-lock")));
    EXPECT_EQ(lockPathFor(QStringLiteral("Export.txt")),
              QStringLiteral("./.Export.txt.brivano-lock"));
}

}  // namespace
}  // namespace brivano::platform
