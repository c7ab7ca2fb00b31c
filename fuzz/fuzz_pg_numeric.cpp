// A server's binary numeric and money values, and its dates and times,
// straight into the functions that write them as text.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "db/postgres/PgDateTime.h"
#include "db/postgres/PgNumericText.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace brivano::db;
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QByteArray out;
    pgNumericText(bytes, out);
    if (size >= 9) {
        std::int64_t number = 0;
        std::memcpy(&number, data, sizeof number);
        const int scale = data[8];
        out.clear();
        pgMoneyText(number, scale % 32, out);
        pgTimestampText(number);
        pgTimeText(number);
        pgDateText(static_cast<std::int32_t>(number));
        PgTimestamp stamp;
        isHandedOverTimestamp(number, stamp);
        isHandedOverTime(number);
        DateValue date;
        isHandedOverDate(static_cast<std::int32_t>(number), date);
    }
    return 0;
}
