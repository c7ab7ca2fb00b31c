#include "db/postgres/PgValueDecoder.h"

#include <bit>

#include "db/ValueCheck.h"
#include "db/postgres/PgBinary.h"
#include "db/postgres/PgDateTime.h"
#include "db/postgres/PgNumericText.h"
#include "texts/Texts.h"

namespace brivano::db {

namespace {

// SQLSTATE 08P01: what the server sent breaks the protocol.
constexpr QStringView kProtocolViolation = u"08P01";
constexpr qsizetype kUuidBytes = 16;
constexpr char kJsonbVersion = 1;
constexpr int kMostMoneyDecimals = 18;

bool hasSize(QByteArrayView bytes, qsizetype size) {
    return bytes.size() == size;
}

// A bit string: its length in bits, then its bits, the first the highest.
bool bitText(QByteArrayView bytes, QByteArray& out, bool& anySet) {
    if (bytes.size() < 4)
        return false;
    const std::int32_t length = pgInt32(bytes.data());
    if (length < 0 || bytes.size() != 4 + (static_cast<qsizetype>(length) + 7) / 8)
        return false;
    out.resize(length);
    anySet = false;
    const auto* bits = reinterpret_cast<const unsigned char*>(bytes.data() + 4);
    for (std::int32_t k = 0; k < length; ++k) {
        const bool set = (bits[k / 8] >> (7 - k % 8) & 1) != 0;
        out[k] = set ? '1' : '0';
        anySet = anySet || set;
    }
    return true;
}

}  // namespace

void PgValueDecoder::decode(const PgColumn& column, QByteArrayView bytes, Value& value) const {
    const bool decoded = decodeNumber(column, bytes, value) || decodeText(column, bytes, value) ||
                         decodeTemporal(column, bytes, value);
    if (!decoded) {
        value.kind = ValueKind::Null;
        throw Error(0, texts::pgUnexpectedValue(column.name), kProtocolViolation.toString());
    }
    value.kind = column.shape.kind;
}

bool PgValueDecoder::decodeNumber(const PgColumn& column, QByteArrayView bytes,
                                  Value& value) const {
    const char* data = bytes.data();
    switch (column.decoder) {
        case PgDecoder::Int16:
            if (!hasSize(bytes, 2))
                return false;
            value.integer = pgInt16(data);
            return true;
        case PgDecoder::Int32:
            if (!hasSize(bytes, 4))
                return false;
            value.integer = pgInt32(data);
            return true;
        case PgDecoder::Int64:
            if (!hasSize(bytes, 8))
                return false;
            value.integer = pgInt64(data);
            return true;
        case PgDecoder::Unsigned32:
            if (!hasSize(bytes, 4))
                return false;
            value.unsignedInteger = pgUint32(data);
            return true;
        case PgDecoder::Float32:
            if (!hasSize(bytes, 4))
                return false;
            value.real = std::bit_cast<float>(pgUint32(data));
            return true;
        case PgDecoder::Float64:
            if (!hasSize(bytes, 8))
                return false;
            value.real = std::bit_cast<double>(pgUint64(data));
            return true;
        default:
            return decodeDecimal(column, bytes, value);
    }
}

bool PgValueDecoder::decodeDecimal(const PgColumn& column, QByteArrayView bytes,
                                   Value& value) const {
    switch (column.decoder) {
        case PgDecoder::Numeric:
            switch (pgNumericText(bytes, value.buffer)) {
                case PgNumeric::Number:
                    break;
                case PgNumeric::NotANumber:
                    // The export file has no place for it, on either path.
                    throw invalidValueError(column.name, value.buffer, column.shape.type);
                case PgNumeric::Malformed:
                    return false;
            }
            break;
        case PgDecoder::Money:
            // A scale no locale has (the server said it) makes no amount.
            if (!hasSize(bytes, 8) || moneyScale_ < 0 || moneyScale_ > kMostMoneyDecimals)
                return false;
            pgMoneyText(pgInt64(bytes.data()), moneyScale_, value.buffer);
            break;
        default:
            return false;
    }
    value.keepBuffer();
    return true;
}

bool PgValueDecoder::decodeText(const PgColumn& column, QByteArrayView bytes, Value& value) const {
    switch (column.decoder) {
        case PgDecoder::Text:
        case PgDecoder::OutputText:
        case PgDecoder::Bytes:
            value.data = bytes;
            return true;
        case PgDecoder::Jsonb:
            if (bytes.isEmpty() || bytes.front() != kJsonbVersion)
                return false;
            value.data = bytes.sliced(1);
            return true;
        case PgDecoder::BooleanText:
            if (!hasSize(bytes, 1))
                return false;
            value.data = bytes.front() != 0 ? QByteArrayView("1") : QByteArrayView("0");
            return true;
        case PgDecoder::Boolean:
            if (!hasSize(bytes, 1))
                return false;
            value.boolean = bytes.front() != 0;
            return true;
        case PgDecoder::Uuid:
            value.data = bytes;
            return hasSize(bytes, kUuidBytes);
        case PgDecoder::BitText:
        case PgDecoder::BitBoolean: {
            bool anySet = false;
            if (!bitText(bytes, value.buffer, anySet))
                return false;
            value.keepBuffer();
            value.boolean = anySet;
            return true;
        }
        default:
            return false;
    }
}

bool PgValueDecoder::decodeTemporal(const PgColumn& column, QByteArrayView bytes,
                                    Value& value) const {
    const char* data = bytes.data();
    switch (column.decoder) {
        case PgDecoder::Date: {
            if (!hasSize(bytes, 4))
                return false;
            const std::int32_t days = pgInt32(data);
            if (!isHandedOverDate(days, value.date))
                throw invalidValueError(column.name, pgDateText(days), column.shape.type);
            return true;
        }
        case PgDecoder::Time: {
            if (!hasSize(bytes, 8))
                return false;
            const std::int64_t microseconds = pgInt64(data);
            if (!isHandedOverTime(microseconds))
                throw invalidValueError(column.name, pgTimeText(microseconds), column.shape.type);
            // The ODBC driver's time has no fraction: neither has ours.
            value.time = pgTime(microseconds);
            value.time.nanosecond = 0;
            return true;
        }
        case PgDecoder::Timestamp: {
            if (!hasSize(bytes, 8))
                return false;
            const std::int64_t microseconds = pgInt64(data);
            PgTimestamp stamp;
            if (!isHandedOverTimestamp(microseconds, stamp))
                throw invalidValueError(column.name, pgTimestampText(microseconds),
                                        column.shape.type);
            value.date = stamp.date;
            value.time = stamp.time;
            return true;
        }
        default:
            return false;
    }
}

}  // namespace brivano::db
