#include "platform/AnsiCodePage.h"

#include "platform/IcuConverter.h"
#include "texts/Error.h"
#include "texts/Texts.h"

namespace brivano::platform {

QString decodeCodePage(QByteArrayView bytes, int number) {
    const IcuConverter converter = openCodePageConverter(number);
    QString out(bytes.size(), Qt::Uninitialized);
    UChar* target = reinterpret_cast<UChar*>(out.data());
    const char* source = bytes.data();
    UErrorCode status = U_ZERO_ERROR;
    ucnv_toUnicode(converter.get(), &target, target + out.size(), &source, source + bytes.size(),
                   nullptr, true, &status);
    if (U_FAILURE(status)) {
        throw Error(status, texts::cannotDecode(number, QString::fromLatin1(u_errorName(status))));
    }
    out.resize(target - reinterpret_cast<UChar*>(out.data()));
    return out;
}

}  // namespace brivano::platform
