#include "db/postgres/PgColumn.h"

namespace brivano::db {

namespace {

// Type OIDs: fixed for the built-in types in every server version.
enum : Oid {
    kBool = 16,
    kBytea = 17,
    kChar = 18,
    kName = 19,
    kInt8 = 20,
    kInt2 = 21,
    kInt4 = 23,
    kText = 25,
    kOid = 26,
    kXid = 28,
    kJson = 114,
    kXml = 142,
    kXmlArray = 143,
    kFloat4 = 700,
    kFloat8 = 701,
    kMoney = kPgMoneyOid,
    kMacaddr = 829,
    kInet = 869,
    kCidr = 650,
    kBpchar = 1042,
    kVarchar = 1043,
    kDate = 1082,
    kTime = 1083,
    kTimestamp = 1114,
    kTimestampTz = kPgTimestampTzOid,
    kInterval = 1186,
    kTimeTz = 1266,
    kBit = 1560,
    kVarbit = 1562,
    kNumeric = 1700,
    kUuid = 2950,
    kJsonb = 3802,
};

// The driver's sizes: text of unknown length, long text, identifiers,
// booleans as text, network addresses.
constexpr std::int64_t kVarcharSize = 255;
constexpr std::int64_t kLongVarcharSize = 8190;
constexpr std::int64_t kNameSize = 63;  // NAMEDATALEN - 1
constexpr std::int64_t kBooleanTextSize = 5;
constexpr std::int64_t kInetSize = 50;
constexpr std::int64_t kMacaddrSize = 17;

// Interval field bits of a typmod, after the driver's adjustment.
constexpr int kMonthBit = 1 << 17;
constexpr int kYearBit = 1 << 18;
constexpr int kDayBit = 1 << 19;
constexpr int kHourBit = 1 << 26;
constexpr int kMinuteBit = 1 << 27;
constexpr int kSecondBit = 1 << 28;

struct TypeRule {
    std::int16_t adoType;
    std::int64_t size;
    PgDecoder decoder;
};

// The driver takes 4 (the header of a varlena) off every typmod but those
// of times and timestamps, which hold a precision; less than nothing is
// no typmod at all.
int driverTypmod(Oid type, int typmod) {
    if (type == kTime || type == kTimeTz || type == kTimestamp || type == kTimestampTz)
        return typmod;
    return typmod >= 4 ? typmod - 4 : -1;
}

// The size of a type the driver does not know: its typmod when it has one.
std::int64_t unknownSize(Oid type, int typmod) {
    const bool mayBeArray = type == kXmlArray || (type >= 1000 && type <= 1041);
    return !mayBeArray && typmod > 0 ? typmod : kVarcharSize;
}

// The width of an interval's text: its leading fields, then the seconds'
// fraction (the driver reads the precision as a signed 16-bit number).
std::int64_t intervalSize(int typmod) {
    int leading = 25;  // no fields named, or all of them
    if (typmod == -1)
        leading = 25;
    else if ((typmod & kYearBit) != 0)
        leading = (typmod & kMonthBit) != 0 ? 24 : 16;
    else if ((typmod & kMonthBit) != 0)
        leading = 16;
    else if ((typmod & kDayBit) != 0)
        leading = (typmod & (kHourBit | kMinuteBit | kSecondBit)) != 0 ? 25 : 16;
    else if ((typmod & kHourBit) != 0)
        leading = 17;
    else if ((typmod & kMinuteBit) != 0)
        leading = 15;
    else if ((typmod & kSecondBit) != 0)
        leading = 9;
    if ((typmod & kSecondBit) == 0)
        return leading;
    const auto precision = static_cast<std::int16_t>(typmod & 0xFFFF);
    const int scale = (typmod & 0xFFFF) == 0xFFFF ? 6 : precision;
    return scale > 0 ? leading + 1 + scale : leading;
}

TypeRule characterRule(Oid type, int typmod) {
    const std::int64_t size = typmod > 0 ? typmod : kVarcharSize;
    if (size > kVarcharSize)
        return {adLongVarWChar, size, PgDecoder::Text};
    return {type == kBpchar ? adWChar : adVarWChar, size, PgDecoder::Text};
}

// Types whose description never depends on their typmod.
struct FixedRule {
    Oid type;
    TypeRule rule;
};
constexpr FixedRule kFixedRules[] = {
    {kBool, {adVarChar, kBooleanTextSize, PgDecoder::BooleanText}},
    {kBytea, {adLongVarBinary, 0, PgDecoder::Bytes}},
    {kChar, {adWChar, 1, PgDecoder::OutputText}},
    {kName, {adVarWChar, kNameSize, PgDecoder::Text}},
    {kInt8, {adBigInt, 0, PgDecoder::Int64}},
    {kInt2, {adSmallInt, 0, PgDecoder::Int16}},
    {kInt4, {adInteger, 0, PgDecoder::Int32}},
    {kText, {adLongVarWChar, kLongVarcharSize, PgDecoder::Text}},
    {kOid, {adUnsignedInt, 0, PgDecoder::Unsigned32}},
    {kXid, {adUnsignedInt, 0, PgDecoder::Unsigned32}},
    {kFloat4, {adSingle, 0, PgDecoder::Float32}},
    {kFloat8, {adDouble, 0, PgDecoder::Float64}},
    {kMoney, {adDouble, 0, PgDecoder::Money}},
    {kMacaddr, {adVarWChar, kMacaddrSize, PgDecoder::OutputText}},
    {kInet, {adVarWChar, kInetSize, PgDecoder::OutputText}},
    {kCidr, {adVarWChar, kInetSize, PgDecoder::OutputText}},
    {kDate, {adDBDate, 0, PgDecoder::Date}},
    {kTime, {adDBTime, 0, PgDecoder::Time}},
    {kTimestamp, {adDBTimeStamp, 0, PgDecoder::Timestamp}},
    {kTimestampTz, {adDBTimeStamp, 0, PgDecoder::Timestamp}},
    {kNumeric, {adNumeric, 0, PgDecoder::Numeric}},
    {kUuid, {adGUID, 0, PgDecoder::Uuid}},
};

TypeRule typeRule(Oid type, int typmod) {
    for (const FixedRule& fixed : kFixedRules) {
        if (fixed.type == type)
            return fixed.rule;
    }
    switch (type) {
        case kBpchar:
        case kVarchar:
            return characterRule(type, typmod);
        case kJson:
            return {adVarWChar, unknownSize(type, typmod), PgDecoder::Text};
        case kJsonb:
            return {adVarWChar, unknownSize(type, typmod), PgDecoder::Jsonb};
        case kXml:
            return {adLongVarWChar, unknownSize(type, typmod), PgDecoder::OutputText};
        case kInterval:
            return {adVarWChar, intervalSize(typmod), PgDecoder::OutputText};
        case kTimeTz:
            return {adVarWChar, typmod > 0 ? typmod : kVarcharSize, PgDecoder::OutputText};
        case kBit:
            // The driver takes a bit string of length 1 for a bit, and sends
            // other lengths as narrow text.
            if (typmod == 1)
                return {adBoolean, 0, PgDecoder::BitBoolean};
            return {adVarChar, unknownSize(type, typmod), PgDecoder::BitText};
        case kVarbit:
            return {adVarWChar, unknownSize(type, typmod), PgDecoder::BitText};
        default:
            return {adVarWChar, unknownSize(type, typmod), PgDecoder::OutputText};
    }
}

}  // namespace

PgColumn pgColumn(const PgFieldInfo& info, bool boolsAsChar) {
    const TypeRule rule = info.type == kBool && !boolsAsChar
                              ? TypeRule{adBoolean, 0, PgDecoder::Boolean}
                              : typeRule(info.type, driverTypmod(info.type, info.typmod));
    // The driver links a column to its table (writable, and nullable as
    // declared) for every type but bit strings, which it treats like
    // expressions: read-only and nullable.
    const bool linked = info.table != 0 && info.tableColumn > 0 && info.type != kBit;
    const Nullability nullability =
        linked && info.notNull ? Nullability::NoNulls : Nullability::Nullable;
    const Writability writability = linked ? Writability::Writable : Writability::ReadOnly;
    PgColumn column;
    column.name = info.name;
    column.shape = shapeFor(rule.adoType, rule.size, nullability, writability);
    column.decoder = rule.decoder;
    column.type = info.type;
    if (rule.decoder == PgDecoder::Money)
        column.shape.kind = ValueKind::Decimal;  // exact, where the driver rounds to a double
    return column;
}

}  // namespace brivano::db
