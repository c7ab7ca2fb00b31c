// brivano-check on lines far longer than it holds, and on a device that
// never ends: its memory stays bounded and it always comes to an end.
#include <sys/resource.h>

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "ExportProcess.h"

namespace brivano::cli::test {
namespace {

constexpr qint64 kLongLine = qint64{400} << 20;
// Far below the line: the line was never held whole.
constexpr long kMostResidentKiB = 256L << 10;

long largestChildKiB() {
    struct rusage usage {};
    ::getrusage(RUSAGE_CHILDREN, &usage);
    return usage.ru_maxrss;
}

TEST(CheckProgramOnPosix, ALineOf400MBIsToldByItsNumberAndNeverHeld) {
    QTemporaryDir home;
    const QString path = home.filePath(QStringLiteral("long.txt"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("I,Note,0,2\r\nN,[Nota]\r\nT,200\r\nS,50\r\nA,100\r\nD,corta\r\nD,");
    // Zero bytes up to the line's end, written as a hole in the file.
    ASSERT_TRUE(file.resize(file.size() + kLongLine));
    ASSERT_TRUE(file.seek(file.size()));
    file.write("\r\nD,ultima\r\n");
    file.close();

    const ProcessResult result = runCheck({"-v", path}, home.path());
    EXPECT_EQ(result.exitCode, 1) << result.err.toStdString();
    EXPECT_EQ(QString::fromUtf8(result.out),
              QStringLiteral("Note: 1 riga ambigua (riga 7)\n"
                             "  riga 7: una riga più lunga di 64 MiB: non controllata\n"));
    EXPECT_LT(largestChildKiB(), kMostResidentKiB);
}

TEST(CheckProgramOnPosix, EndlessZeroBytesAreNoExportFile) {
    QTemporaryDir home;
    const ProcessResult result = runCheck({QStringLiteral("/dev/zero")}, home.path());
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_EQ(result.err, QStringLiteral("brivano-check: Il file /dev/zero non è un file di "
                                         "esportazione: la sua prima riga non è l'intestazione "
                                         "di una tabella\n"));
    EXPECT_LT(largestChildKiB(), kMostResidentKiB);
}

}  // namespace
}  // namespace brivano::cli::test
