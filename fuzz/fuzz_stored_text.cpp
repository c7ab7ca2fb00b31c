// Stored text turned into values of every kind, as SQLite and the ODBC
// drivers hand it over.
#include <cstddef>
#include <cstdint>

#include "db/StoredText.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace brivano::db;
    if (size < 1)
        return 0;
    const QByteArrayView text(reinterpret_cast<const char*>(data + 1),
                              static_cast<qsizetype>(size - 1));
    constexpr ValueKind kKinds[] = {ValueKind::Integer, ValueKind::Unsigned, ValueKind::Single,
                                    ValueKind::Double,  ValueKind::Decimal,  ValueKind::Boolean,
                                    ValueKind::Date,    ValueKind::Time,     ValueKind::Timestamp,
                                    ValueKind::Text,    ValueKind::Binary,   ValueKind::Guid};
    const ValueKind kind = kKinds[data[0] % std::size(kKinds)];
    const DateTimeForm form = (data[0] & 0x80) != 0 ? DateTimeForm::Server : DateTimeForm::Stored;
    Value value;
    if (isConvertedFromText(kind))
        convertStoredText(kind, text, value, form);
    QByteArray digits;
    moneyDigits(text, digits);
    decodeStoredText(text);
    return 0;
}
