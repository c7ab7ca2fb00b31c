// A server's binary values for every column type the PostgreSQL provider
// decodes, then written as the export file writes them. The first bytes
// choose the type and its modifier; the rest is the value.
#include <QLocale>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "db/Error.h"
#include "db/postgres/PgColumn.h"
#include "db/postgres/PgValueDecoder.h"
#include "export/ByteBuffer.h"
#include "export/CodePage.h"
#include "export/ValueText.h"

namespace {

constexpr Oid kTypes[] = {16,   17,   18,   19,   20,   21,   23,   25,   26,   28,   114,
                          142,  700,  701,  790,  829,  869,  650,  1042, 1043, 1082, 1083,
                          1114, 1184, 1186, 1266, 1560, 1562, 1700, 2950, 3802};
constexpr std::size_t kChoiceBytes = 6;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace brivano;
    if (size < kChoiceBytes)
        return 0;
    db::PgFieldInfo info;
    info.name = QStringLiteral("c");
    info.type = kTypes[data[0] % std::size(kTypes)];
    std::int32_t typmod = 0;
    std::memcpy(&typmod, data + 1, sizeof typmod);
    info.typmod = typmod;
    const bool boolsAsChar = (data[5] & 1) != 0;
    const int moneyScale = data[5] >> 1;  // beyond any locale's too
    const db::PgColumn column = db::pgColumn(info, boolsAsChar);
    const db::PgValueDecoder decoder(moneyScale);
    db::Value value;
    try {
        decoder.decode(column,
                       QByteArrayView(reinterpret_cast<const char*>(data + kChoiceBytes),
                                      static_cast<qsizetype>(size - kChoiceBytes)),
                       value);
    } catch (const Error&) {
        return 0;  // refused: what a bad value should be
    }
    static exporter::CodePage codePage(1252);
    static const exporter::ValueText text(QLocale(QLocale::Italian, QLocale::Italy), codePage);
    exporter::ByteBuffer out;
    text.append(value, out);
    return 0;
}
