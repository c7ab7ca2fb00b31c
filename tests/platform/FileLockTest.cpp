// The lock that keeps a second writer of one file out.
#include "platform/FileLock.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

namespace brivano::platform {
namespace {

using Outcome = FileLock::Outcome;

FileLock take(const QString& path, Outcome& outcome) {
    std::error_code error;
    FileLock lock = FileLock::tryTake(path, outcome, error);
    EXPECT_FALSE(error) << error.message();
    return lock;
}

TEST(FileLock, ASecondHolderIsRefusedUntilTheFirstLetsGo) {
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral(".Export.txt.brivano-lock"));
    Outcome outcome = Outcome::Failed;
    FileLock first = take(path, outcome);
    EXPECT_EQ(outcome, Outcome::Taken);
    EXPECT_TRUE(first.isTaken());
    EXPECT_TRUE(QFile::exists(path));  // created when missing

    // A second holder in the same process counts as another run.
    FileLock second = take(path, outcome);
    EXPECT_EQ(outcome, Outcome::Busy);
    EXPECT_FALSE(second.isTaken());

    first.release();
    FileLock third = take(path, outcome);
    EXPECT_EQ(outcome, Outcome::Taken);
    // Moved, the lock stays held; the moved-from one holds nothing.
    FileLock moved = std::move(third);
    EXPECT_TRUE(moved.isTaken());
    EXPECT_EQ((take(path, outcome), outcome), Outcome::Busy);
    moved = FileLock();
    EXPECT_EQ((take(path, outcome), outcome), Outcome::Taken);
    EXPECT_EQ(QFile(path).size(), 0);  // never written
}

TEST(FileLock, ALockFileThatCannotBeMadeFailsWithTheReason) {
    QTemporaryDir folder;
    Outcome outcome = Outcome::Taken;
    std::error_code error;
    const FileLock lock =
        FileLock::tryTake(folder.filePath(QStringLiteral("manca/.x.brivano-lock")), outcome, error);
    EXPECT_EQ(outcome, Outcome::Failed);
    EXPECT_FALSE(lock.isTaken());
    EXPECT_EQ(error, std::errc::no_such_file_or_directory);
}

}  // namespace
}  // namespace brivano::platform
