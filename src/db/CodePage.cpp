#include "db/CodePage.h"

#include <unicode/ucnv.h>

#include <cstdlib>

#include "db/Error.h"

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

const char* converterName(int number) {
    switch (number) {
        case 874:
            return "windows-874";
        case 932:
            return "windows-932";
        case 936:
            return "windows-936";
        case 949:
            return "windows-949";
        case 950:
            return "windows-950";
        default:
            return nullptr;
    }
}

}  // namespace

int CodePage::numberForLocale(QStringView localeName) {
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
    return 1252;
}

int CodePage::systemNumber() {
    for (const char* variable : {"LC_ALL", "LC_CTYPE", "LANG"}) {
        const char* value = std::getenv(variable);
        if (value != nullptr && *value != '\0')
            return numberForLocale(QString::fromLocal8Bit(value));
    }
    return 1252;
}

CodePage::CodePage(int number) : number_(number), converter_(nullptr) {
    QByteArray name = converterName(number) != nullptr ? QByteArray(converterName(number))
                                                       : "windows-" + QByteArray::number(number);
    UErrorCode status = U_ZERO_ERROR;
    converter_ = ucnv_open(name.constData(), &status);
    if (U_FAILURE(status)) {
        throw Error(status, QStringLiteral("Code page %1 is not available: %2")
                                .arg(number)
                                .arg(QString::fromLatin1(u_errorName(status))));
    }
    // Unrepresentable characters become "?", as Windows writes them; no
    // best-fit look-alikes, so what was lost stays visible.
    ucnv_setFallback(converter_, false);
    status = U_ZERO_ERROR;
    ucnv_setSubstChars(converter_, "?", 1, &status);

    // Checked, not assumed: the shortcut is taken only where ICU agrees.
    QString ascii(0x80, Qt::Uninitialized);
    for (char16_t c = 0; c < 0x80; ++c)
        ascii[c] = QChar(c);
    QByteArray bytes(0x80 * ucnv_getMaxCharSize(converter_), '\0');
    char* target = bytes.data();
    const UChar* source = reinterpret_cast<const UChar*>(ascii.utf16());
    status = U_ZERO_ERROR;
    ucnv_fromUnicode(converter_, &target, bytes.data() + bytes.size(), &source, source + 0x80,
                     nullptr, true, &status);
    bytes.resize(target - bytes.data());
    asciiAsIs_ = U_SUCCESS(status) && bytes == ascii.toLatin1();
    ucnv_resetFromUnicode(converter_);
}

CodePage::~CodePage() {
    ucnv_close(converter_);
}

void CodePage::encode(QStringView text, QByteArray& out) {
    if (text.isEmpty())
        return;
    // Most of an export is ASCII: its leading run is copied byte for byte.
    qsizetype ascii = 0;
    if (asciiAsIs_) {
        const char16_t* units = text.utf16();
        while (ascii < text.size() && units[ascii] < 0x80)
            ++ascii;
    }
    const qsizetype start = out.size();
    const qsizetype room = ascii + (text.size() - ascii) * ucnv_getMaxCharSize(converter_);
    out.resize(start + room);
    char* target = out.data() + start;
    const char16_t* units = text.utf16();
    for (qsizetype i = 0; i < ascii; ++i)
        *target++ = static_cast<char>(units[i]);
    if (ascii < text.size()) {
        const UChar* source = reinterpret_cast<const UChar*>(units + ascii);
        UErrorCode status = U_ZERO_ERROR;
        ucnv_fromUnicode(converter_, &target, out.data() + out.size(), &source,
                         reinterpret_cast<const UChar*>(units + text.size()), nullptr, true,
                         &status);
        if (U_FAILURE(status)) {
            ucnv_resetFromUnicode(converter_);
            out.resize(start);
            throw Error(status, QStringLiteral("Text cannot be converted to code page %1: %2")
                                    .arg(number_)
                                    .arg(QString::fromLatin1(u_errorName(status))));
        }
    }
    out.resize(target - out.data());
}

QByteArray CodePage::encode(QStringView text) {
    QByteArray out;
    encode(text, out);
    return out;
}

QString CodePage::decode(QByteArrayView bytes) {
    QString out(bytes.size(), Qt::Uninitialized);
    UChar* target = reinterpret_cast<UChar*>(out.data());
    const char* source = bytes.data();
    UErrorCode status = U_ZERO_ERROR;
    ucnv_toUnicode(converter_, &target, target + out.size(), &source, source + bytes.size(),
                   nullptr, true, &status);
    if (U_FAILURE(status)) {
        ucnv_resetToUnicode(converter_);
        throw Error(status, QStringLiteral("Text in code page %1 cannot be read: %2")
                                .arg(number_)
                                .arg(QString::fromLatin1(u_errorName(status))));
    }
    out.resize(target - reinterpret_cast<UChar*>(out.data()));
    return out;
}

}  // namespace brivano::db
