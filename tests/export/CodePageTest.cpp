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
        QByteArray out("prefix:");
        codePage.encode(text, out);
        EXPECT_EQ(out, "prefix:" + c.expected) << c.codePage;
        EXPECT_EQ(codePage.encode(QStringLiteral("plain ASCII, 100%")), "plain ASCII, 100%");
    }
    EXPECT_THROW(CodePage(12345), Error);
}

}  // namespace
}  // namespace brivano::exporter
