// The printed report, line by line, through a printer that records what it
// is asked to print; and the print command's handling of printer failures.
#include "app/MessageListPrint.h"
#include "app/PrintCommand.h"
#include "app/Printer.h"
#include "db/Error.h"

#include <gtest/gtest.h>
#include <ostream>
#include <utility>
#include <vector>

namespace brivano::app {
namespace {

struct PrintedLine {
    QString text;
    int indentColumns;
    float points;
    bool bold;
    bool operator==(const PrintedLine&) const = default;
};
using Document = std::vector<PrintedLine>;

void PrintTo(const PrintedLine& line, std::ostream* out) {
    *out << '"' << line.text.toStdString() << "\" indent " << line.indentColumns << ' '
         << line.points << "pt" << (line.bold ? " bold" : "");
}

// Records each finished document into `documents`, which outlives it. Starts
// with a font that the report never uses, so the report must set its own.
class RecordingPrinter : public Printer {
  public:
    explicit RecordingPrinter(std::vector<Document>& documents) : documents_(documents) {}
    ~RecordingPrinter() override { EXPECT_TRUE(open_.empty()) << "a document was left open"; }

    void setFontSize(float points) override { points_ = points; }
    void setBold(bool on) override { bold_ = on; }
    void printLine(const QString& text, int indentColumns) override {
        open_.push_back({text, indentColumns, points_, bold_});
    }
    void endDocument() override { documents_.push_back(std::exchange(open_, {})); }

  private:
    std::vector<Document>& documents_;
    Document open_;
    float points_ = 12;
    bool bold_ = true;
};

const QString kTitle = QStringLiteral("ELENCO ERRORI");
const QString kRule = QString(102, u'_');

Document heading() {
    return {{kTitle, 43, 9, true}, {kRule, 0, 9, false}, {QStringLiteral(" "), 0, 9, false}};
}

PrintedLine entryLine(const QString& text) {
    return {text, 0, 9, true};
}

// `length` characters that differ from their neighbours, so a split in the
// wrong place shows.
QString entryOf(int length) {
    QString text;
    for (int i = 0; i < length; ++i) {
        text += QChar(u'a' + i % 26);
    }
    return text;
}

Document printed(const QStringList& entries) {
    std::vector<Document> documents;
    RecordingPrinter printer(documents);
    printMessageList(entries, printer);
    EXPECT_EQ(documents.size(), 1U);
    return documents.empty() ? Document{} : documents.front();
}

TEST(PrintedReport, EmptyListGivesTitleRuleAndBlankLine) {
    EXPECT_EQ(printed({}), heading());
}

TEST(PrintedReport, EveryEntryTakesTwoBoldLinesSplitAfterItsHundredthCharacter) {
    const QString emoji = QStringLiteral("\U0001F600");
    const struct {
        const char* what;
        QString entry;
        QString first;
        QString second;
    } cases[] = {
        {"100 characters", entryOf(100), entryOf(100), QString()},
        {"101 characters", entryOf(101), entryOf(100), entryOf(101).right(1)},
        {"250 characters, not split further", entryOf(250), entryOf(100), entryOf(250).mid(100)},
        {"empty", QString(), QString(), QString()},
        {"short", QStringLiteral("Tabella Accessi"), QStringLiteral("Tabella Accessi"), QString()},
        {"commas, quotes and a tab", QStringLiteral("a,b \"c\"\td,"),
         QStringLiteral("a,b \"c\"\td,"), QString()},
        {"a character of two UTF-16 units stays whole", entryOf(99) + emoji + QStringLiteral("z"),
         entryOf(99) + emoji, QStringLiteral("z")},
    };
    QStringList entries;
    Document expected = heading();
    for (const auto& c : cases) {
        entries << c.entry;
        expected.push_back(entryLine(c.first));
        expected.push_back(entryLine(c.second));
    }
    const Document document = printed(entries);
    ASSERT_EQ(document.size(), expected.size());
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const std::size_t line = heading().size() + 2 * i;
        EXPECT_EQ(document[line], expected[line]) << cases[i].what << ", first line";
        EXPECT_EQ(document[line + 1], expected[line + 1]) << cases[i].what << ", second line";
    }
}

TEST(PrintedReport, TwoPrintsGiveTwoIdenticalDocumentsAndLeaveTheListUnchanged) {
    const QStringList entries{QStringLiteral("Tabella Tempi: 3 righe"), entryOf(180), QString()};
    const QStringList before = entries;
    std::vector<Document> documents;
    const PrintCommand command([&] { return std::make_unique<RecordingPrinter>(documents); },
                               [](const QString& text) { ADD_FAILURE() << text.toStdString(); });
    command.run(entries);
    command.run(entries);
    ASSERT_EQ(documents.size(), 2U);
    EXPECT_EQ(documents[0], documents[1]);
    EXPECT_EQ(documents[0].size(), heading().size() + 2 * entries.size());
    EXPECT_EQ(entries, before);
}

// A printer whose every operation fails, as a refused job does at its end.
class FailingPrinter : public Printer {
  public:
    explicit FailingPrinter(bool failAtEnd) : failAtEnd_(failAtEnd) {}
    void setFontSize(float) override {}
    void setBold(bool) override {}
    void printLine(const QString&, int) override {
        if (!failAtEnd_) {
            throw Error(0, QStringLiteral("Stampa non riuscita: pagina"));
        }
    }
    void endDocument() override {
        throw Error(1280, QStringLiteral("Stampa non riuscita: rifiutata"));
    }

  private:
    bool failAtEnd_;
};

TEST(PrintCommand, PrinterFailureIsShownOnceAndTheListStaysAsItWas) {
    const struct {
        const char* what;
        PrintCommand::PrinterFactory factory;
        QString message;
    } cases[] = {
        {"no printer",
         []() -> std::unique_ptr<Printer> {
             throw Error(0, QStringLiteral("Stampa non riuscita: nessuna stampante disponibile"));
         },
         QStringLiteral("Stampa non riuscita: nessuna stampante disponibile")},
        {"factory without a printer", [] { return std::unique_ptr<Printer>(); },
         QStringLiteral("Stampa non riuscita: nessuna stampante disponibile")},
        {"failure while printing", [] { return std::make_unique<FailingPrinter>(false); },
         QStringLiteral("Stampa non riuscita: pagina")},
        {"job refused at the end", [] { return std::make_unique<FailingPrinter>(true); },
         QStringLiteral("Stampa non riuscita: rifiutata")},
    };
    for (const auto& c : cases) {
        const QStringList entries{QStringLiteral("Tabella Planning: errore"), entryOf(120)};
        const QStringList before = entries;
        QStringList shown;
        const PrintCommand command(c.factory, [&](const QString& text) { shown << text; });
        EXPECT_NO_THROW(command.run(entries)) << c.what;
        EXPECT_EQ(shown, QStringList{c.message}) << c.what;
        EXPECT_EQ(entries, before) << c.what;
    }
}

}  // namespace
}  // namespace brivano::app
