#pragma once

#include <cstdint>
#include <cstring>

namespace brivano::db {

// Network-order integers of the server's binary formats, read from bytes
// that need not be aligned.
inline std::uint16_t pgUint16(const char* bytes) {
    const auto* b = reinterpret_cast<const unsigned char*>(bytes);
    return static_cast<std::uint16_t>(b[0] << 8 | b[1]);
}

inline std::uint32_t pgUint32(const char* bytes) {
    std::uint32_t value;
    std::memcpy(&value, bytes, sizeof value);
    return __builtin_bswap32(value);
}

inline std::uint64_t pgUint64(const char* bytes) {
    std::uint64_t value;
    std::memcpy(&value, bytes, sizeof value);
    return __builtin_bswap64(value);
}

inline std::int16_t pgInt16(const char* bytes) {
    return static_cast<std::int16_t>(pgUint16(bytes));
}

inline std::int32_t pgInt32(const char* bytes) {
    return static_cast<std::int32_t>(pgUint32(bytes));
}

inline std::int64_t pgInt64(const char* bytes) {
    return static_cast<std::int64_t>(pgUint64(bytes));
}

}  // namespace brivano::db
