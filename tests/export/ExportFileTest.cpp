#include "export/ExportFile.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "db/Error.h"
#include "export/FileSizeLimit.h"

namespace brivano::exporter {
namespace {

constexpr int kWesternEurope = 1252;

QByteArray contentOf(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return "<missing>";
    return file.readAll();
}

void writeFile(const QString& path, const QByteArray& content) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content);
}

class ExportFileTest : public ::testing::Test {
  protected:
    QString exportPath() const { return folder_.filePath(QStringLiteral("Export.txt")); }
    // Everything in the folder: no temporary file may be left behind.
    QStringList folderEntries() const {
        return QDir(folder_.path()).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
    }

    QTemporaryDir folder_;
};

TEST_F(ExportFileTest, EveryLineEndsInCarriageReturnLineFeedInTheCodePage) {
    ExportFile file(exportPath(), kWesternEurope);
    file.open();
    file.writeLine(file.codePage().encode(u"I,Prezzi,0,0"));
    file.writeLine(file.codePage().encode(u"D,'5 \u20AC','\u0100',\u00E8"));
    file.writeLine(file.codePage().encode(u""));
    file.close();
    EXPECT_EQ(contentOf(exportPath()), QByteArray("I,Prezzi,0,0\r\nD,'5 \x80','?',\xE8\r\n\r\n"));
}

TEST_F(ExportFileTest, ReplacesThePreviousFileOnlyWhenClosed) {
    writeFile(exportPath(), "previous export\r\n");
    ExportFile file(exportPath(), kWesternEurope, /*bufferSize=*/8);
    file.open();
    file.writeLine(file.codePage().encode(u"I,Vuota,0,0"));
    file.writeLine(file.codePage().encode(u"I,Altra,0,0"));
    EXPECT_EQ(contentOf(exportPath()), "previous export\r\n");
    file.close();
    EXPECT_EQ(contentOf(exportPath()), "I,Vuota,0,0\r\nI,Altra,0,0\r\n");
    EXPECT_EQ(folderEntries(), QStringList{"Export.txt"});
}

TEST_F(ExportFileTest, AnAbandonedFileLeavesThePreviousOneAndNoTemporaryFile) {
    writeFile(exportPath(), "previous export\r\n");
    {
        ExportFile file(exportPath(), kWesternEurope, /*bufferSize=*/8);
        file.open();
        file.writeLine(file.codePage().encode(u"I,Vuota,0,0"));
        file.abandon();
        EXPECT_FALSE(file.isOpen());
    }
    {
        ExportFile file(exportPath(), kWesternEurope, /*bufferSize=*/8);
        file.open();
        file.writeLine(file.codePage().encode(u"I,Vuota,0,0"));
    }  // destroyed without closing
    EXPECT_EQ(contentOf(exportPath()), "previous export\r\n");
    EXPECT_EQ(folderEntries(), QStringList{"Export.txt"});
}

TEST_F(ExportFileTest, AFileThatCannotBeCreatedFailsOnceAndThenDropsItsLines) {
    const QString notAFolder = folder_.filePath(QStringLiteral("plain-file"));
    writeFile(notAFolder, "x");
    ExportFile file(notAFolder + QStringLiteral("/Export.txt"), kWesternEurope);
    try {
        file.open();
        FAIL() << "open() did not throw";
    } catch (const Error& error) {
        EXPECT_TRUE(error.description().contains(QStringLiteral("Export.txt")))
            << error.description().toStdString();
    }
    EXPECT_TRUE(file.hasFailed());
    EXPECT_NO_THROW(file.writeLine(file.codePage().encode(u"I,Vuota,0,0")));
    EXPECT_NO_THROW(file.close());
}

TEST_F(ExportFileTest, AFailedWriteIsRaisedOnceAndKeepsThePreviousFile) {
    if (!test::FileSizeLimit::available())
        GTEST_SKIP() << "this system has no file size limit for a process";
    writeFile(exportPath(), "previous export\r\n");
    const QString line(100, QChar(u'x'));
    ExportFile file(exportPath(), kWesternEurope, /*bufferSize=*/64);
    file.open();
    int failures = 0;
    {
        test::FileSizeLimit limit(/*bytes=*/150);
        for (int i = 0; i < 5; ++i) {
            try {
                file.writeLine(file.codePage().encode(line));
            } catch (const Error&) {
                ++failures;
            }
        }
        EXPECT_NO_THROW(file.close());
    }
    EXPECT_EQ(failures, 1);
    EXPECT_EQ(contentOf(exportPath()), "previous export\r\n");
    EXPECT_EQ(folderEntries(), QStringList{"Export.txt"});
}

}  // namespace
}  // namespace brivano::exporter
