// The writer and the reader take the file's format from one description;
// these cases hold them to it together: a file the writer makes is read
// the way it was meant.
#include <gtest/gtest.h>

#include "ScriptedDatabase.h"
#include "WriterFixture.h"
#include "db/AdoTypes.h"
#include "export/ExportFormat.h"
#include "support/ReadBack.h"

namespace brivano::test {
namespace {

db::Value textValue(const char* text) {
    db::Value value;
    value.kind = db::ValueKind::Text;
    value.buffer = text;
    value.keepBuffer();
    return value;
}

db::Value doubleValue(double number) {
    db::Value value;
    value.kind = db::ValueKind::Double;
    value.real = number;
    return value;
}

constexpr std::int16_t kEveryTypeCode[] = {
    db::adEmpty,       db::adSmallInt,        db::adInteger,
    db::adSingle,      db::adDouble,          db::adBoolean,
    db::adTinyInt,     db::adUnsignedTinyInt, db::adUnsignedSmallInt,
    db::adUnsignedInt, db::adBigInt,          db::adUnsignedBigInt,
    db::adGUID,        db::adBinary,          db::adChar,
    db::adWChar,       db::adNumeric,         db::adDBDate,
    db::adDBTime,      db::adDBTimeStamp,     db::adVarChar,
    db::adLongVarChar, db::adVarWChar,        db::adLongVarWChar,
    db::adVarBinary,   db::adLongVarBinary,
};

class ExportFormatTest : public WriterFixture {
  protected:
    ExportFormatTest() { database.open({}); }

    ScriptedConnection database;
};

TEST_F(ExportFormatTest, TheReaderTakesAsQuotedExactlyTheColumnsTheWriterQuotes) {
    ScriptedTable table;
    std::vector<db::Value> row;
    QByteArray dataLine = "D";
    for (const std::int16_t type : kEveryTypeCode) {
        table.columns.push_back({QStringLiteral("C%1").arg(type), type, 1, 0});
        row.push_back(textValue("x"));
        const bool quoted = type == db::adChar || type == db::adWChar || type == db::adDBTimeStamp;
        dataLine += quoted ? ",'x'" : ",x";
    }
    table.rows.push_back(row);
    database.tables["Tipi"] = table;

    const QByteArray file = writeTables(&database, {"Tipi"});
    EXPECT_TRUE(file.endsWith("\r\n" + dataLine + "\r\n")) << file.toStdString();
    const ReadBackFile read = readBack(exportPath());
    ASSERT_EQ(read.blocks.size(), 1u);
    const exporter::ExportBlock& block = read.blocks[0];
    EXPECT_TRUE(block.readsBack());
    ASSERT_EQ(block.columns.size(), std::size(kEveryTypeCode));
    for (std::size_t k = 0; k < block.columns.size(); ++k) {
        const std::int16_t type = kEveryTypeCode[k];
        const bool quoted = type == db::adChar || type == db::adWChar || type == db::adDBTimeStamp;
        EXPECT_EQ(block.columns[k].type, type);
        EXPECT_EQ(block.columns[k].form.quoted, quoted) << "type " << type;
    }
    const std::vector<ReadEntry> entries(std::size(kEveryTypeCode), ReadEntry("x"));
    EXPECT_EQ(read.rowsOf("Tipi"), std::vector<std::vector<ReadEntry>>{entries});
}

// One value of one column, what the reader should get back when it reads
// clear, and whether the writer is to count it as not reading back.
struct EntryCase {
    const char* what;
    std::int16_t type;
    db::Value value;
    const char* readBack;
    bool ambiguous;
};

TEST_F(ExportFormatTest, TheWriterCountsAsAmbiguousWhatTheReaderCannotReadBack) {
    const std::vector<EntryCase> cases = {
        {"plain text", db::adVarWChar, textValue("uno"), "uno", false},
        {"a comma in plain text", db::adVarWChar, textValue("uno, due"), "", true},
        {"the null word as plain text", db::adVarWChar, textValue("Null"), "", true},
        {"another case of it", db::adVarWChar, textValue("null"), "null", false},
        {"empty plain text", db::adVarWChar, textValue(""), "", false},
        {"apostrophes in plain text", db::adVarChar, textValue("'a'"), "'a'", false},
        {"a line feed in plain text", db::adVarWChar, textValue("a\nb"), "", true},
        {"a carriage return in plain text", db::adVarWChar, textValue("a\rb"), "", true},
        {"CR LF in plain text", db::adLongVarChar, textValue("a\r\nb"), "", true},
        {"a decimal comma", db::adDouble, doubleValue(1.5), "", true},
        {"a whole real", db::adDouble, doubleValue(2), "2", false},
        {"the null word, cleaned", db::adWChar, textValue("Null"), "Null", false},
        {"a comma, cleaned", db::adChar, textValue("uno, due"), "uno, due", false},
        {"an apostrophe, cleaned", db::adWChar, textValue(" d'acciaio "), "d acciaio", false},
        {"a carriage return, cleaned", db::adChar, textValue("a\rb"), "a b", false},
        {"a line feed, cleaned", db::adChar, textValue("a\nb"), "", true},
        {"a comma, quoted", db::adDBTimeStamp, textValue("1,2"), "1,2", false},
        {"a line feed, quoted", db::adDBTimeStamp, textValue("a\nb"), "", true},
        {"a carriage return, quoted", db::adDBTimeStamp, textValue("a\rb"), "", true},
        {"an apostrophe, quoted", db::adDBTimeStamp, textValue("a'b"), "", true},
    };
    QStringList tables;
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const QString name = QStringLiteral("T%1").arg(i);
        database.tables[name] = ScriptedTable{{{"V", cases[i].type, 40, 0}}, {{cases[i].value}}};
        tables << name;
    }
    writeTables(&database, tables);
    ASSERT_EQ(ambiguous.size(), cases.size());
    const ReadBackFile read = readBack(exportPath());
    ASSERT_EQ(read.blocks.size(), cases.size());
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const EntryCase& entry = cases[i];
        const std::vector<std::vector<ReadEntry>> rows = read.rowsOf(tables[i]);
        const bool readsBack = read.blocks[i].readsBack() && rows.size() == 1 &&
                               rows[0] == std::vector<ReadEntry>{ReadEntry(entry.readBack)};
        EXPECT_EQ(readsBack, !entry.ambiguous) << entry.what;
        EXPECT_EQ(ambiguous[i], entry.ambiguous ? 1 : 0) << entry.what;
    }
}

TEST(ExportFormat, FindsWhatWillNotReadBackWhereverItStandsInTheEntry) {
    // The scan looks at eight bytes at once: every length and position
    // around its words.
    for (qsizetype size = 1; size <= 24; ++size) {
        const QByteArray clear(size, 'x');
        EXPECT_FALSE(exporter::plainEntryIsAmbiguous(clear)) << size;
        EXPECT_FALSE(exporter::quotedTextIsAmbiguous(clear)) << size;
        for (qsizetype at = 0; at < size; ++at) {
            for (const char plain : {',', '\r', '\n'}) {
                QByteArray entry = clear;
                entry[at] = plain;
                EXPECT_TRUE(exporter::plainEntryIsAmbiguous(entry)) << size << " " << at;
            }
            for (const char quoted : {'\'', '\r', '\n'}) {
                QByteArray text = clear;
                text[at] = quoted;
                EXPECT_TRUE(exporter::quotedTextIsAmbiguous(text)) << size << " " << at;
            }
        }
    }
}

}  // namespace
}  // namespace brivano::test
