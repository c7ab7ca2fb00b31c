#include "db/mariadb/MariaDbRowBuffers.h"

#include <algorithm>
#include <cstring>

namespace brivano::db {

namespace {

// Columns whose longest value fits get a buffer for it; longer and long
// ones start with this much, and grow to at most kMostBoundBytes.
constexpr unsigned long kMostExactBytes = 8192;
constexpr qsizetype kLongStartBytes = 256;
constexpr qsizetype kMostBoundBytes = 64 * 1024;

qsizetype startBytes(const MariaDbColumn& column) {
    if (isLongType(column.shape.type) || column.length > kMostExactBytes)
        return kLongStartBytes;
    // One more for the terminator that the library adds when there is room.
    return static_cast<qsizetype>(column.length) + 1;
}

void bindFixed(MYSQL_BIND& bind, enum_field_types type, void* buffer, unsigned long bytes) {
    bind.buffer_type = type;
    bind.buffer = buffer;
    bind.buffer_length = bytes;
}

}  // namespace

bool MariaDbRowBuffers::bind(MYSQL_STMT* statement, const std::vector<MariaDbColumn>& columns) {
    binds_.assign(columns.size(), MYSQL_BIND{});
    slots_ = std::vector<MariaDbSlot>(columns.size());
    for (size_t k = 0; k < columns.size(); ++k) {
        const MariaDbColumn& column = columns[k];
        MariaDbSlot& slot = slots_[k];
        MYSQL_BIND& bind = binds_[k];
        bind.length = &slot.length;
        bind.is_null = &slot.isNull;
        bind.error = &slot.truncated;
        bind.is_unsigned = column.isUnsigned;
        MariaDbSlot::Fixed& fixed = slot.fixed;
        switch (column.read) {
            case MariaDbRead::Integer:
                bindFixed(bind, MYSQL_TYPE_LONGLONG, &fixed.integer, sizeof fixed.integer);
                break;
            case MariaDbRead::Single:
                bindFixed(bind, MYSQL_TYPE_FLOAT, &fixed.single, sizeof fixed.single);
                break;
            case MariaDbRead::Double:
                bindFixed(bind, MYSQL_TYPE_DOUBLE, &fixed.real, sizeof fixed.real);
                break;
            case MariaDbRead::Date:
            case MariaDbRead::Time:
            case MariaDbRead::Timestamp:
                bindFixed(
                    bind,
                    column.fieldType == MYSQL_TYPE_NEWDATE ? MYSQL_TYPE_DATE : column.fieldType,
                    &fixed.time, sizeof fixed.time);
                break;
            case MariaDbRead::Bit:
            case MariaDbRead::Bytes:
                slot.bound.resize(startBytes(column));
                bindFixed(bind, MYSQL_TYPE_STRING, slot.bound.data(),
                          static_cast<unsigned long>(slot.bound.size()));
                break;
        }
    }
    return mysql_stmt_bind_result(statement, binds_.data()) == 0;
}

bool MariaDbRowBuffers::prepareFetch(MYSQL_STMT* statement) {
    if (!rebind_)
        return true;
    rebind_ = false;
    for (size_t k = 0; k < slots_.size(); ++k) {
        MariaDbSlot& slot = slots_[k];
        const auto wanted = static_cast<qsizetype>(slot.length);
        if (!slot.overflowed || wanted > kMostBoundBytes || wanted <= slot.bound.size())
            continue;
        slot.bound.resize(std::min(kMostBoundBytes, std::max(wanted + 1, slot.bound.size() * 2)));
        binds_[k].buffer = slot.bound.data();
        binds_[k].buffer_length = static_cast<unsigned long>(slot.bound.size());
    }
    return mysql_stmt_bind_result(statement, binds_.data()) == 0;
}

bool MariaDbRowBuffers::completeRow(MYSQL_STMT* statement, bool truncated) {
    for (unsigned int k = 0; k < slots_.size(); ++k) {
        MariaDbSlot& slot = slots_[k];
        slot.overflowed = false;
        if (truncated && slot.truncated && !slot.isNull && !readOverflow(statement, k))
            return false;
    }
    return true;
}

bool MariaDbRowBuffers::readOverflow(MYSQL_STMT* statement, unsigned int position) {
    MariaDbSlot& slot = slots_[position];
    const auto have = static_cast<qsizetype>(binds_[position].buffer_length);
    const auto total = static_cast<qsizetype>(slot.length);
    // The head is in the bound buffer; the rest comes in one more piece.
    slot.overflow.resize(total);
    std::memcpy(slot.overflow.data(), slot.bound.constData(), static_cast<size_t>(have));
    unsigned long pieceLength = 0;
    my_bool pieceNull = 0;
    my_bool pieceCut = 0;
    MYSQL_BIND piece{};
    piece.buffer_type = MYSQL_TYPE_STRING;
    piece.buffer = slot.overflow.data() + have;
    piece.buffer_length = static_cast<unsigned long>(total - have);
    piece.length = &pieceLength;
    piece.is_null = &pieceNull;
    piece.error = &pieceCut;
    if (mysql_stmt_fetch_column(statement, &piece, position, static_cast<unsigned long>(have)) != 0)
        return false;
    slot.overflowed = true;
    rebind_ = rebind_ || total <= kMostBoundBytes;
    return true;
}

}  // namespace brivano::db
