#include <gtest/gtest.h>

#include "db/Error.h"
#include "export/CodePage.h"

namespace brivano::exporter {
namespace {

TEST(CodePage, EncodesAsciiAsIsAndWhatItCannotRepresentAsQuestionMarks) {
    // ASCII around and between other characters, so a shortcut for ASCII
    // runs must hand over to the converter at the right place.
    const QString text = QStringLiteral("I,a€b,'Ā',ü,漢,z");
    const struct {
        int codePage;
        QByteArray expected;
    } cases[] = {
        {1252, QByteArray("I,a\x80"
                          "b,'?',\xFC,?,z")},
        {1250, QByteArray("I,a\x80"
                          "b,'?',\xFC,?,z")},
        {1251, QByteArray("I,a\x88"
                          "b,'?',?,?,z")},
        {1257, QByteArray("I,a\x80"
                          "b,'\xC2',\xFC,?,z")},
        {932, QByteArray("I,a?b,'?',?,\x8A\xBF,z")},
    };
    for (const auto& c : cases) {
        CodePage codePage(c.codePage);
        ByteBuffer out;
        out.append("prefix:");
        codePage.appendUtf16(text, out);
        EXPECT_EQ(out.view(), "prefix:" + c.expected) << c.codePage;
        // The same text as UTF-8, twice over: the second time from the cache.
        for (int pass = 0; pass < 2; ++pass) {
            out.truncate(7);
            codePage.appendUtf8(text.toUtf8(), out);
            EXPECT_EQ(out.view(), "prefix:" + c.expected) << c.codePage;
        }
        EXPECT_EQ(codePage.encode(QStringLiteral("plain ASCII, 100%")), "plain ASCII, 100%");
    }
    EXPECT_THROW(CodePage(12345), Error);
}

TEST(CodePage, CountsTheCharactersItWritesAsQuestionMarks) {
    CodePage codePage(1252);
    ByteBuffer out;
    codePage.appendUtf8(QStringLiteral("Ā?€𝄞").toUtf8(), out);
    EXPECT_EQ(out.view(), "??\x80?");
    EXPECT_EQ(codePage.replacements(), 2);  // the real "?" does not count
    codePage.resetReplacements();
    codePage.appendUtf16(QStringLiteral("x\xD800y"), out);  // a lone surrogate
    EXPECT_EQ(codePage.replacements(), 1);
}

TEST(CodePage, BytesThatAreNotUtf8AreTakenAsLatin1) {
    // Every byte stays a character: nothing is lost to a replacement mark.
    CodePage codePage(1252);
    ByteBuffer out;
    codePage.appendUtf8(QByteArray("caf\xE9 \xC3\xA8"), out);  // one stray byte spoils it all
    EXPECT_EQ(out.view(), "caf\xE9 \xC3\xA8");
    out.clear();
    codePage.appendUtf8(QByteArray("\xC3\xA8\xED\xA0\xBF"), out);  // an encoded surrogate
    EXPECT_EQ(out.view(), "\xC3\xA8\xED\xA0\xBF");
}

}  // namespace
}  // namespace brivano::exporter
