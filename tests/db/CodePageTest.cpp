#include <gtest/gtest.h>

#include "db/CodePage.h"
#include "db/Error.h"

namespace brivano::db {
namespace {

TEST(CodePage, LocaleLanguagePicksTheWindowsCodePage) {
    const struct {
        const char* locale;
        int codePage;
    } cases[] = {
        {"it_IT.UTF-8", 1252}, {"en_US", 1252},      {"C", 1252},           {"POSIX", 1252},
        {"C.UTF-8", 1252},     {"de_DE@euro", 1252}, {"pl_PL.UTF-8", 1250}, {"ru_RU", 1251},
        {"el_GR", 1253},       {"tr_TR", 1254},      {"he_IL", 1255},       {"ar_EG", 1256},
        {"lt_LT", 1257},       {"vi_VN", 1258},      {"th_TH", 874},        {"ja_JP.UTF-8", 932},
        {"zh_CN.UTF-8", 936},  {"zh_TW.UTF-8", 950}, {"zh_HK", 950},        {"ko_KR", 949},
        {"xx_YY", 1252},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CodePage::numberForLocale(QString::fromLatin1(c.locale)), c.codePage) << c.locale;
}

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
    EXPECT_EQ(CodePage(1252).decode("\x80 \xE8"), QStringLiteral("€ è"));
    EXPECT_THROW(CodePage(12345), Error);
}

}  // namespace
}  // namespace brivano::db
