#include "export/CodePage.h"

#include <unicode/ucnv.h>

#include "db/Error.h"
#include "texts/Texts.h"

namespace brivano::exporter {

CodePage::CodePage(int number) : number_(number), converter_(nullptr) {
    const QByteArray name = db::codePageConverterName(number);
    UErrorCode status = U_ZERO_ERROR;
    converter_ = ucnv_open(name.constData(), &status);
    if (U_FAILURE(status)) {
        throw Error(status,
                    texts::codePageUnavailable(number, QString::fromLatin1(u_errorName(status))));
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
            throw Error(status,
                        texts::cannotEncode(number_, QString::fromLatin1(u_errorName(status))));
        }
    }
    out.resize(target - out.data());
}

QByteArray CodePage::encode(QStringView text) {
    QByteArray out;
    encode(text, out);
    return out;
}

}  // namespace brivano::exporter
