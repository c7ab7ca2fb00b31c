// The export reader on files made by hand: what each kind of unclear line
// looks like, and which lines and columns it is told by.
#include <gtest/gtest.h>

#include <QTemporaryFile>

#include "db/Error.h"
#include "export/ExportLineSource.h"
#include "support/ReadBack.h"

namespace brivano::test {
namespace {

using exporter::CommaSettings;
using exporter::ExportBlock;
using exporter::LineFault;

constexpr int kWesternEurope = 1252;
constexpr CommaSettings kPointLocale{false, false};
constexpr CommaSettings kCommaLocale{true, false};

// Id integer, Nota varchar, Codice char, Prezzo double, Quando timestamp.
const QByteArray kHead =
    "I,Note,4,1\r\nN,[Id],[Nota],[Codice],[Prezzo],[Quando]\r\nT,3,200,129,5,135\r\n"
    "S,4,40,5,8,16\r\nA,116,100,116,116,116\r\n";
const QByteArray kPlainRow = "D,1,semplice,'A1',1.5,'1/2/2026 10:00:00 AM'\r\n";

// `text` with each '@' a NUL byte.
QByteArray withNul(const char* text) {
    return QByteArray(text).replace('@', '\0');
}

ReadBackFile read(const QByteArray& bytes, CommaSettings commas = kPointLocale) {
    return readBackBytes(bytes, {kWesternEurope, commas});
}

struct ProblemCase {
    const char* what;
    QByteArray bytes;
    CommaSettings commas;
    std::vector<std::int64_t> lines;  // the lines told, in order
    std::uint16_t faults;             // of the first line told
    QStringList columns;              // of the whole block
};

std::uint16_t faults(std::initializer_list<LineFault> list) {
    std::uint16_t bits = 0;
    for (const LineFault fault : list)
        bits |= static_cast<std::uint16_t>(fault);
    return bits;
}

QStringList concerned(const ExportBlock& block) {
    QStringList names;
    for (std::size_t k = 0; k < block.columnsConcerned.size(); ++k) {
        if (block.columnsConcerned[k])
            names << block.columns[k].name;
    }
    return names;
}

TEST(ExportFileReader, TellsEveryUnclearLineWithItsColumns) {
    const std::vector<ProblemCase> cases = {
        {"a comma in plain text",
         kHead + kPlainRow + "D,2,con, virgola,'A2',2,'x'\r\n",
         kPointLocale,
         {7},
         faults({LineFault::ExtraFields}),
         {"Nota"}},
        {"a decimal comma",
         kHead + "D,1,x,'A1',1,5,'x'\r\nD,2,y,'A2',2,'x'\r\n",
         kCommaLocale,
         {6},
         faults({LineFault::ExtraFields}),
         {"Prezzo"}},
        {"a decimal comma read under a point locale",
         kHead + "D,1,x,'A1',1,5,'x'\r\nD,2,y,'A2',2,'x'\r\n",
         kPointLocale,
         {6},
         faults({LineFault::ExtraFields}),
         {"Prezzo"}},
        {"commas in two columns of one line",
         kHead + kPlainRow + "D,2,a,b,'A2',2,5,'x'\r\n",
         kCommaLocale,
         {7},
         faults({LineFault::ExtraFields}),
         {"Nota", "Prezzo"}},
        {"an apostrophe that nothing closes",
         kHead + kPlainRow + "D,2,x,'A2,2,x\r\n",
         kPointLocale,
         {7},
         faults({LineFault::UnclosedQuote}),
         {"Codice"}},
        {"a quoted column without apostrophes",
         kHead + kPlainRow + "D,2,x,A2,2,'x'\r\n",
         kPointLocale,
         {7},
         faults({LineFault::MissingQuote}),
         {"Codice"}},
        {"text after a closing apostrophe",
         kHead + kPlainRow + "D,2,x,'A2'b,2,'x'\r\n",
         kPointLocale,
         {7},
         faults({LineFault::TextAfterQuote}),
         {"Codice"}},
        {"CR LF in plain text",
         kHead + kPlainRow + "D,2,a capo\r\nqui,'A2',2,'x'\r\n",
         kPointLocale,
         {7, 8},
         faults({LineFault::MissingFields}),
         {"Nota"}},
        {"a line feed in quoted text",
         kHead + kPlainRow + "D,2,x,'A\n2',2,'x'\r\n",
         kPointLocale,
         {7},
         faults({LineFault::LineBreak}),
         {"Codice"}},
        {"a line feed in plain text",
         kHead + "D,1,un\nLF,'A1',2,'x'\r\n" + kPlainRow,
         kPointLocale,
         {6},
         faults({LineFault::LineBreak}),
         {"Nota"}},
        {"a carriage return alone in plain text",
         kHead + "D,1,un\rCR,'A1',2,'x'\r\n" + kPlainRow,
         kPointLocale,
         {6},
         faults({LineFault::LineBreak}),
         {"Nota"}},
        {"a name holding a comma",
         "I,T,1,0\r\nN,[Id],[No,ta]\r\nT,3,200\r\nS,4,9\r\nA,116,100\r\nD,1,x\r\n",
         kPointLocale,
         {2},
         faults({LineFault::AmbiguousName}),
         {"No,ta"}},
        {"a name holding a bracket",
         "I,T,1,0\r\nN,[Id],[No]ta]\r\nT,3,200\r\nS,4,9\r\nA,116,100\r\nD,1,x\r\n",
         kPointLocale,
         {2},
         faults({LineFault::AmbiguousName}),
         {"No]ta"}},
        {"a line of no kind among the rows",
         kHead + kPlainRow + "X,1\r\n",
         kPointLocale,
         {7},
         faults({LineFault::UnexpectedLine}),
         {}},
        {"a column line with an entry too many",
         "I,T,1,0\r\nN,[A],[B]\r\nT,3,3,3\r\nS,4,4\r\n"
         "A,116,116\r\nD,1,2\r\n",
         kPointLocale,
         {3},
         faults({LineFault::WrongFieldCount}),
         {}},
        {"a NUL byte in plain text",
         kHead + kPlainRow + withNul("D,2,a@b,'A2',2,'x'\r\n"),
         kPointLocale,
         {7},
         faults({LineFault::ControlByte}),
         {"Nota"}},
        {"a control byte in quoted text",
         kHead + "D,1,x,'A\x01',2,'x'\r\n" + kPlainRow,
         kPointLocale,
         {6},
         faults({LineFault::ControlByte}),
         {"Codice"}},
        {"a control byte in a line with another fault",
         kHead + kPlainRow + "D,2,a\x7f, b,'A2',2,'x'\r\n",
         kPointLocale,
         {7},
         faults({LineFault::ExtraFields, LineFault::ControlByte}),
         {"Nota"}},
        {"a NUL byte in a column name",
         withNul("I,T,1,0\r\nN,[Id],[N@a]\r\nT,3,200\r\nS,4,9\r\nA,116,100\r\nD,1,x\r\n"),
         kPointLocale,
         {2},
         faults({LineFault::ControlByte}),
         {}},
        {"a type that is no number",
         "I,T,1,0\r\nN,[A],[B]\r\nT,3,x\r\nS,4,4\r\n"
         "A,116,116\r\nD,1,2\r\n",
         kPointLocale,
         {3},
         faults({LineFault::BadNumber}),
         {}},
    };
    for (const ProblemCase& c : cases) {
        SCOPED_TRACE(c.what);
        const ReadBackFile file = read(c.bytes, c.commas);
        ASSERT_EQ(file.blocks.size(), 1u);
        const ExportBlock& block = file.blocks.front();
        std::vector<std::int64_t> lines;
        for (const exporter::LineProblem& problem : block.problems)
            lines.push_back(problem.line);
        EXPECT_EQ(lines, c.lines);
        EXPECT_EQ(block.problemCount, static_cast<std::int64_t>(c.lines.size()));
        ASSERT_FALSE(block.problems.empty());
        EXPECT_EQ(block.problems.front().faults, c.faults);
        EXPECT_EQ(concerned(block), c.columns);
        EXPECT_FALSE(block.readsBack());
    }
}

TEST(ExportFileReader, NamesTheOneColumnThatCanHoldTheCommaWhenNumbersPinTheRest) {
    // A, N: integers; B, C: text. "b" cannot be an integer, so only B can
    // have taken the comma.
    const QByteArray bytes =
        "I,T,3,0\r\nN,[A],[B],[N],[C]\r\nT,3,200,3,200\r\nS,4,9,4,9\r\nA,116,100,116,100\r\n"
        "D,1,a,b,2,c\r\n";
    const ExportBlock block = read(bytes).blocks.front();
    EXPECT_EQ(concerned(block), QStringList{"B"});
    // Side by side, two texts could each have taken it.
    const ExportBlock twins = read(
                                  "I,T,1,0\r\nN,[A],[B]\r\nT,200,200\r\nS,9,9\r\nA,100,100\r\n"
                                  "D,x,y,z\r\n")
                                  .blocks.front();
    EXPECT_EQ(concerned(twins), QStringList({"A", "B"}));
}

TEST(ExportFileReader, CountsEveryProblemAndKeepsTheFirstHundred) {
    QByteArray bytes = "I,T,1,249\r\nN,[A],[B]\r\nT,3,200\r\nS,4,9\r\nA,116,100\r\n";
    for (int row = 0; row < 250; ++row)
        bytes += "D,1,a,b\r\n";
    const ExportBlock block = read(bytes).blocks.front();
    EXPECT_EQ(block.problemCount, 250);
    EXPECT_EQ(block.problems.size(), ExportBlock::kKeptProblems);
    EXPECT_EQ(block.problems.back().line, 105);
    EXPECT_EQ(block.rowsFound, 250);
}

struct BlockCase {
    const char* what;
    QByteArray bytes;
    std::int64_t rowsFound;
    bool isShort;
    bool readsBack;
};

TEST(ExportFileReader, TellsWhetherEachBlockHasTheRowsItsHeaderAnnounces) {
    const std::vector<BlockCase> cases = {
        {"as many rows as announced", kHead + kPlainRow + kPlainRow, 2, false, true},
        {"the next header before the last row", kHead + kPlainRow + "I,Vuota,0,0\r\n", 1, true,
         false},
        {"the end of the file before the last row", kHead + kPlainRow, 1, true, false},
        {"the file cut inside the last row", kHead + kPlainRow + "D,2,sempl", 1, true, false},
        {"rows added between the readings", kHead + kPlainRow + kPlainRow + kPlainRow, 3, false,
         true},
        {"a table without rows", "I,Vuota,0,0\r\n", 0, false, true},
        {"one column and one row", "I,Uno,0,0\r\nN,[X]\r\nT,3\r\nS,4\r\nA,20\r\nD,7\r\n", 1, false,
         true},
        {"a table emptied between the readings", "I,Svuotata,4,9\r\nI,Vuota,0,0\r\n", 0, false,
         true},
    };
    for (const BlockCase& c : cases) {
        SCOPED_TRACE(c.what);
        const ExportBlock block = read(c.bytes).blocks.front();
        EXPECT_EQ(block.rowsFound, c.rowsFound);
        EXPECT_EQ(block.isShort(), c.isShort);
        EXPECT_EQ(block.readsBack(), c.readsBack);
    }
}

TEST(ExportFileReader, TakesTheNumbersOfAHeaderFromTheRight) {
    const ReadBackFile file = read(
        "I,a,b,c,2,0\r\nN,[X],[Y],[Z]\r\nT,3,3,3\r\nS,4,4,4\r\n"
        "A,20,20,20\r\nD,1,2,3\r\nI,\xe8,0,0\r\n");
    ASSERT_EQ(file.blocks.size(), 2u);
    EXPECT_EQ(file.blocks[0].name, "a,b,c");
    EXPECT_EQ(file.blocks[0].columnCount(), 3);
    EXPECT_EQ(file.blocks[0].headerLine, 1);
    EXPECT_EQ(file.blocks[1].name, QString::fromUtf8("è"));  // from code page 1252
    EXPECT_EQ(file.blocks[1].headerLine, 7);
}

TEST(ExportFileReader, HandsOverTheEntriesOfClearLinesWithoutTheirApostrophes) {
    const ReadBackFile file =
        read(kHead + kPlainRow + "D,2,l'uomo,'',Null,Null\r\nD,3,,'a,b',,'x'\r\n" + kPlainRow);
    using Row = std::vector<ReadEntry>;
    EXPECT_EQ(file.rowsOf("Note"),
              (std::vector<Row>{{"1", "semplice", "A1", "1.5", "1/2/2026 10:00:00 AM"},
                                {"2", "l'uomo", "", std::nullopt, std::nullopt},
                                {"3", "", "a,b", "", "x"},
                                {"1", "semplice", "A1", "1.5", "1/2/2026 10:00:00 AM"}}));
    EXPECT_EQ(file.rows[1].line, 7);
}

TEST(ExportFileReader, RefusesAFileThatIsNoExport) {
    for (const QByteArray& bytes :
         {QByteArray(), QByteArray("hello\r\n"), QByteArray("N,[X]\r\nI,T,0,0\r\n"),
          QByteArray("I,T,x,0\r\n")}) {
        SCOPED_TRACE(bytes.toStdString());
        EXPECT_THROW(read(bytes), Error);
    }
    EXPECT_THROW(readBack(QStringLiteral("/nonexistent/Export.txt")), Error);
}

TEST(ExportFileReader, ATabInTextIsNoControlByte) {
    const ReadBackFile file = read(kHead + "D,1,un\ttab,'A\t1',2,'x'\r\n" + kPlainRow);
    ASSERT_EQ(file.blocks.size(), 1u);
    EXPECT_TRUE(file.blocks.front().readsBack());
}

TEST(ExportFileReader, ReadsALineLongerThanItsBuffer) {
    const QByteArray text(9 << 20, 'x');  // more than twice the buffer
    const ReadBackFile file =
        read("I,T,0,0\r\nN,[X]\r\nT,201\r\nS,2147483647\r\nA,228\r\nD," + text + "\r\n");
    ASSERT_EQ(file.rows.size(), 1u);
    EXPECT_EQ(file.rows[0].entries[0]->size(), text.size());
}

}  // namespace
}  // namespace brivano::test

namespace brivano::exporter {
namespace {

// The lines of `bytes` as a source with a tiny buffer hands them out.
struct SourcedLine {
    std::string bytes;
    bool tooLong = false;
    bool terminated = false;
    bool operator==(const SourcedLine&) const = default;
};

std::vector<SourcedLine> sourcedLines(const QByteArray& bytes, qsizetype bufferSize,
                                      qsizetype mostLineBytes) {
    QTemporaryFile file;
    EXPECT_TRUE(file.open());
    file.write(bytes);
    file.close();
    ExportLineSource source(file.fileName(), bufferSize, mostLineBytes);
    std::vector<SourcedLine> lines;
    PhysicalLine line;
    while (source.next(line))
        lines.push_back({line.bytes.toByteArray().toStdString(), line.tooLong, line.terminated});
    return lines;
}

TEST(ExportLineSource, HandsOutALineTooLongToHoldByItsFirstBytesAndSkipsTheRest) {
    // Buffers of 4 bytes, lines of at most 8 with their CR LF.
    const auto lines = sourcedLines("ab\r\n0123456789\r\ncd\r\n", 4, 8);
    EXPECT_EQ(lines, (std::vector<SourcedLine>{
                         {"ab", false, true}, {"01234567", true, true}, {"cd", false, true}}));
}

TEST(ExportLineSource, FindsTheEndOfASkippedLineWhereverItsCrLfFalls) {
    // The skipped line's CR LF falls across two reads, an LF alone and a
    // CR alone do not end it.
    for (const char* rest : {"89\r\n", "8\r\n", "89a\r\n", "8\n9\rz\r\n"}) {
        SCOPED_TRACE(rest);
        const auto lines = sourcedLines(QByteArray("01234567") + rest + "next\r\n", 4, 8);
        ASSERT_EQ(lines.size(), 2u);
        EXPECT_TRUE(lines[0].tooLong);
        EXPECT_EQ(lines[1], (SourcedLine{"next", false, true}));
    }
    // A file that ends inside the skipped line has nothing more.
    EXPECT_EQ(sourcedLines("0123456789", 4, 8).size(), 1u);
}

}  // namespace
}  // namespace brivano::exporter
