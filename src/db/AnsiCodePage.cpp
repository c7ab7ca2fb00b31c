#include "db/AnsiCodePage.h"

#include <unicode/ucnv.h>

#include <cstdlib>
#include <memory>

#include "db/Error.h"
#include "texts/Texts.h"

namespace brivano::db {
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

struct ConverterCloser {
    void operator()(UConverter* converter) const { ucnv_close(converter); }
};

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

int systemCodePage() {
    for (const char* variable : {"LC_ALL", "LC_CTYPE", "LANG"}) {
        const char* value = std::getenv(variable);
        if (value != nullptr && *value != '\0')
            return codePageForLocale(QString::fromLocal8Bit(value));
    }
    return kDefaultCodePage;
}

QByteArray codePageConverterName(int number) {
    return "windows-" + QByteArray::number(number);
}

QString decodeCodePage(QByteArrayView bytes, int number) {
    UErrorCode status = U_ZERO_ERROR;
    const std::unique_ptr<UConverter, ConverterCloser> converter(
        ucnv_open(codePageConverterName(number).constData(), &status));
    if (U_FAILURE(status)) {
        throw Error(status,
                    texts::codePageUnavailable(number, QString::fromLatin1(u_errorName(status))));
    }
    QString out(bytes.size(), Qt::Uninitialized);
    UChar* target = reinterpret_cast<UChar*>(out.data());
    const char* source = bytes.data();
    ucnv_toUnicode(converter.get(), &target, target + out.size(), &source, source + bytes.size(),
                   nullptr, true, &status);
    if (U_FAILURE(status)) {
        throw Error(status, texts::cannotDecode(number, QString::fromLatin1(u_errorName(status))));
    }
    out.resize(target - reinterpret_cast<UChar*>(out.data()));
    return out;
}

}  // namespace brivano::db
