#include "platform/IcuConverter.h"

#include <QByteArray>
#include <QString>

#include "texts/Error.h"
#include "texts/Texts.h"

namespace brivano::platform {

IcuConverter openCodePageConverter(int number) {
    const QByteArray name = "windows-" + QByteArray::number(number);
    UErrorCode status = U_ZERO_ERROR;
    IcuConverter converter(ucnv_open(name.constData(), &status));
    if (U_FAILURE(status)) {
        throw Error(status,
                    texts::codePageUnavailable(number, QString::fromLatin1(u_errorName(status))));
    }
    return converter;
}

}  // namespace brivano::platform
