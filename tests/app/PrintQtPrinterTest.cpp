// The report on real output: QtPrinter into a PDF file, read back with the
// poppler tools, and through the CUPS print service that scripts/test starts
// (its default queue keeps every job's data in BRIVANO_TEST_PRINT_JOBS).
#include "app/MessageListPrint.h"
#include "app/PrintCommand.h"
#include "app/QtPrinter.h"
#include "db/Error.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFontMetricsF>
#include <QPrinter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <QUuid>
#include <algorithm>
#include <array>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <vector>

namespace brivano::app {
namespace {

constexpr int kTitleIndentColumns = 43;
constexpr qreal kPointsPerInch = 72;
// How long the spooler may take to pass a job to the queue's backend.
constexpr int kJobWaitMilliseconds = 60000;
constexpr int kJobPollMilliseconds = 100;

// The application of the whole run, ended before the program exits while
// Qt's own globals are still there.
class QtApplication : public ::testing::Environment {
  public:
    void SetUp() override { application_ = std::make_unique<QApplication>(argc_, argv_.data()); }
    void TearDown() override { application_.reset(); }

  private:
    int argc_ = 1;
    char name_[sizeof("PrintQtPrinterTest")] = "PrintQtPrinterTest";
    std::array<char*, 2> argv_{name_, nullptr};
    std::unique_ptr<QApplication> application_;
};
[[maybe_unused]] const auto* const kApplication =
    ::testing::AddGlobalTestEnvironment(new QtApplication);

// The printed lines of each page as pdftotext lays them out, blank lines
// left out and runs of spaces read as one.
std::vector<QStringList> pagesOf(const QString& pdf) {
    std::vector<QStringList> pages;
    const QString text = test::pdfText(pdf, {QStringLiteral("-layout")});
    for (const QString& page : text.split(u'\f')) {
        QStringList lines;
        for (const QString& line : page.split(u'\n')) {
            if (!line.trimmed().isEmpty()) {
                lines << line.simplified();
            }
        }
        pages.push_back(lines);
    }
    while (!pages.empty() && pages.back().isEmpty()) {
        pages.pop_back();
    }
    return pages;
}

QStringList allLines(const std::vector<QStringList>& pages) {
    QStringList lines;
    for (const QStringList& page : pages) {
        lines += page;
    }
    return lines;
}

bool isPdf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && file.read(4) == "%PDF";
}

// What the report of `entries` reads as on paper (blank lines left out).
QStringList expectedLines(const QStringList& entries) {
    QStringList lines{QStringLiteral("ELENCO ERRORI"), QString(102, u'_')};
    for (const QString& entry : entries) {
        for (const QString& part : {entry.left(100), entry.mid(100)}) {
            if (!part.trimmed().isEmpty()) {
                lines << part.simplified();
            }
        }
    }
    return lines;
}

// An entry of exactly 100 characters plus a short tail, both unique to `number`.
QString numberedEntry(int number) {
    QString first = QStringLiteral("Voce %1 tabella").arg(number, 3, 10, QChar(u'0'));
    while (first.size() < 100) {
        first += QStringLiteral(" riga");
    }
    return first.left(99) + u'x' + QStringLiteral(" seguito %1").arg(number);
}

// The report's bold 9-point font as the PDF printer measures it.
QFontMetricsF reportMetrics(qreal* pointsPerUnit) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    QFont font;
    font.setPointSizeF(9);
    font.setBold(true);
    *pointsPerUnit = kPointsPerInch / printer.resolution();
    return QFontMetricsF(font, &printer);
}

class QtPrinterPdf : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(folder_.isValid()); }
    QString print(const QStringList& entries) {
        const QString path = folder_.filePath(QStringLiteral("report.pdf"));
        printMessageList(entries, *QtPrinter::toPdfFile(path));
        return path;
    }
    QTemporaryDir folder_;
};

TEST_F(QtPrinterPdf, ReportReadsInOrderInBoldAndPlainFaces) {
    const QStringList entries{
        QStringLiteral("Tabella Tempi: 120 righe"),
        QStringLiteral("Errore 3 nella tabella Presenze, \"colonna\" mancante"), QString(),
        numberedEntry(7)};
    const QString pdf = print(entries);
    const std::vector<QStringList> pages = pagesOf(pdf);
    ASSERT_EQ(pages.size(), 1U);
    EXPECT_EQ(pages.front(), expectedLines(entries));

    const QString fonts = test::programOutput(QStringLiteral("pdffonts"), {pdf});
    EXPECT_TRUE(fonts.contains(QStringLiteral("Bold"))) << fonts.toStdString();
    const bool plainFace = std::ranges::any_of(fonts.split(u'\n').mid(2), [](const QString& l) {
        return !l.trimmed().isEmpty() && !l.contains(QStringLiteral("Bold"));
    });
    EXPECT_TRUE(plainFace) << fonts.toStdString();
}

// The title leaves 43 blank columns of the bold font before it, so it starts
// in column 44; the rule starts at the left margin.
TEST_F(QtPrinterPdf, TitleStartsAfterFortyThreeAverageCharacterWidths) {
    const QString bbox =
        test::programOutput(QStringLiteral("pdftotext"), {"-bbox", print({}), "-"});
    const QRegularExpression word(QStringLiteral("<word xMin=\"([0-9.]+)\"[^>]*>([^<]*)</word>"));
    std::map<QString, qreal> left;
    for (const auto& match : word.globalMatch(bbox)) {
        left.emplace(match.captured(2), match.captured(1).toDouble());
    }
    ASSERT_TRUE(left.contains(QStringLiteral("ELENCO")) && left.contains(QString(102, u'_')))
        << bbox.toStdString();
    qreal pointsPerUnit = 0;
    const qreal column = reportMetrics(&pointsPerUnit).averageCharWidth() * pointsPerUnit;
    const qreal indent = left[QStringLiteral("ELENCO")] - left[QString(102, u'_')];
    EXPECT_NEAR(indent, kTitleIndentColumns * column, column / 2);
}

TEST_F(QtPrinterPdf, FullPageContinuesOnANewPageWithEntryLinesOnly) {
    QStringList entries;
    for (int number = 1; number <= 80; ++number) {
        entries << numberedEntry(number);
    }
    const std::vector<QStringList> pages = pagesOf(print(entries));
    ASSERT_EQ(pages.size(), 3U);
    EXPECT_EQ(allLines(pages), expectedLines(entries)) << "lines lost or moved at a page break";

    // Page one is full: every line the printable height holds, less the blank one.
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    const qreal height = printer.pageLayout().paintRect(QPageLayout::Point).height();
    qreal pointsPerUnit = 0;
    const qreal line = reportMetrics(&pointsPerUnit).lineSpacing() * pointsPerUnit;
    const int linesPerPage = static_cast<int>(height / line);
    EXPECT_NEAR(pages[0].size(), linesPerPage - 1, 1);
    EXPECT_NEAR(pages[1].size(), linesPerPage, 1);
    for (std::size_t page = 1; page < pages.size(); ++page) {
        EXPECT_TRUE(pages[page].front().startsWith(QStringLiteral("Voce")) ||
                    pages[page].front().startsWith(QStringLiteral("seguito")))
            << "page " << page + 1 << " starts with " << pages[page].front().toStdString();
    }
}

TEST_F(QtPrinterPdf, FailuresAreErrorsForTheOperator) {
    const auto printerError = [](const std::function<void()>& action) -> QString {
        try {
            action();
        } catch (const Error& error) {
            return error.description();
        }
        return QStringLiteral("no error");
    };
    const QString unwritable = folder_.filePath(QStringLiteral("missing/report.pdf"));
    EXPECT_EQ(
        printerError([&] { QtPrinter::toPdfFile(unwritable)->printLine(QStringLiteral("x")); }),
        QStringLiteral("Stampa non riuscita: impossibile scrivere il file \"%1\"").arg(unwritable));
    EXPECT_EQ(printerError([&] { QtPrinter::toPdfFile(unwritable)->setFontSize(0); }),
              QStringLiteral("Stampa non riuscita: dimensione del carattere non valida (0)"));
}

// Through the print service of scripts/test; missing it fails the test when
// BRIVANO_REQUIRE_SERVERS=1, else skips it.
class PrintQueue : public ::testing::Test {
  protected:
    void SetUp() override {
        jobs_ = qEnvironmentVariable("BRIVANO_TEST_PRINT_JOBS");
        refusing_ = qEnvironmentVariable("BRIVANO_TEST_PRINT_REFUSING");
        if (jobs_.isEmpty() || refusing_.isEmpty()) {
            if (test::serversRequired()) {
                FAIL() << "BRIVANO_TEST_PRINT_JOBS / BRIVANO_TEST_PRINT_REFUSING are not set: "
                          "the print service is not running";
            }
            GTEST_SKIP() << "no print service (run scripts/test)";
        }
    }

    // The job file whose text holds `marker`, once the backend has stored it.
    QString waitForJobWith(const QString& marker) {
        std::set<QString> seen;
        for (int waited = 0; waited < kJobWaitMilliseconds; waited += kJobPollMilliseconds) {
            const QDir folder(jobs_);
            for (const QString& name :
                 folder.entryList({QStringLiteral("job-*.prn")}, QDir::Files)) {
                const QString path = folder.filePath(name);
                if (seen.insert(path).second && isPdf(path) &&
                    allLines(pagesOf(path)).join(u'\n').contains(marker)) {
                    return path;
                }
            }
            QThread::msleep(kJobPollMilliseconds);
        }
        return {};
    }

    QString jobs_;
    QString refusing_;
};

TEST_F(PrintQueue, PrintCommandSendsTheReportToTheDefaultPrinter) {
    // Unique to this run; the letters "ff" (also possible in the number) are
    // printed as a ligature.
    const QString marker =
        QStringLiteral("Ufficio ") + QUuid::createUuid().toString(QUuid::WithoutBraces);
    const QStringList entries{QStringLiteral("Tabella Accessi: 5 righe"), marker, numberedEntry(1)};
    QStringList shown;
    PrintCommand(defaultPrinterFactory(), [&](const QString& text) { shown << text; }).run(entries);
    ASSERT_TRUE(shown.isEmpty()) << shown.join(u'\n').toStdString();

    const QString job = waitForJobWith(marker);
    ASSERT_FALSE(job.isEmpty()) << "no job in " << jobs_.toStdString();
    EXPECT_EQ(allLines(pagesOf(job)), expectedLines(entries));
}

TEST_F(PrintQueue, RefusedOrMissingQueueIsReportedWithItsReason) {
    QStringList shown;
    const auto sink = [&](const QString& text) { shown << text; };
    PrintCommand([&] { return QtPrinter::forQueue(refusing_); }, sink).run({QStringLiteral("x")});
    PrintCommand([] { return QtPrinter::forQueue(QStringLiteral("brivano-no-such-queue")); }, sink)
        .run({QStringLiteral("x")});
    ASSERT_EQ(shown.size(), 2);
    // The spooler's own words, in whatever language it answers.
    EXPECT_TRUE(shown[0].startsWith(QStringLiteral("Stampa non riuscita: ")) &&
                shown[0].contains(refusing_))
        << shown[0].toStdString();
    EXPECT_EQ(
        shown[1],
        QStringLiteral("Stampa non riuscita: la stampante \"brivano-no-such-queue\" non esiste"));
}

}  // namespace
}  // namespace brivano::app
