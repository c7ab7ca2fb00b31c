#include <gtest/gtest.h>

#include "platform/AnsiCodePage.h"
#include "texts/Error.h"

namespace brivano::platform {
namespace {

TEST(AnsiCodePage, LocaleLanguagePicksTheWindowsCodePage) {
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
        EXPECT_EQ(codePageForLocale(QString::fromLatin1(c.locale)), c.codePage) << c.locale;
}

TEST(AnsiCodePage, DecodesTheBytesOfACodePage) {
    EXPECT_EQ(decodeCodePage("\x80 \xE8", 1252), QStringLiteral("€ è"));
    EXPECT_EQ(decodeCodePage("\xC0", 1251), QStringLiteral("А"));
    EXPECT_THROW(decodeCodePage("x", 12345), Error);
}

}  // namespace
}  // namespace brivano::platform
