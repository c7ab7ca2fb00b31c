#include "platform/AnsiCodePage.h"

namespace brivano::platform {
namespace {

struct LanguageCodePage {
    const char* language;
    int codePage;
};

// Windows' ANSI code page for each language; everything else gets 1252.
constexpr LanguageCodePage kLanguageCodePages[] = {
    {"cs", 1250}, {"pl", 1250}, {"hu", 1250}, {"sk", 1250}, {"sl", 1250}, {"hr", 1250},
    {"ro", 1250}, {"ru", 1251}, {"uk", 1251}, {"bg", 1251}, {"be", 1251}, {"mk", 1251},
    {"sr", 1251}, {"el", 1253}, {"tr", 1254}, {"he", 1255}, {"ar", 1256}, {"lt", 1257},
    {"lv", 1257}, {"et", 1257}, {"vi", 1258}, {"th", 874},  {"ja", 932},  {"ko", 949},
};

constexpr int kDefaultCodePage = 1252;

}  // namespace

int codePageForLocale(QStringView localeName) {
    // "ll_CC.encoding@modifier": only language and country matter.
    QStringView name = localeName;
    for (QChar stop : {QChar(u'.'), QChar(u'@')}) {
        const qsizetype at = name.indexOf(stop);
        if (at >= 0)
            name = name.left(at);
    }
    const QStringView language =
        name.left(name.indexOf(u'_') >= 0 ? name.indexOf(u'_') : name.size());
    if (language == u"zh") {
        const bool traditional =
            name.endsWith(u"_TW") || name.endsWith(u"_HK") || name.endsWith(u"_MO");
        return traditional ? 950 : 936;
    }
    for (const auto& entry : kLanguageCodePages) {
        if (language == QLatin1StringView(entry.language))
            return entry.codePage;
    }
    return kDefaultCodePage;
}

}  // namespace brivano::platform
