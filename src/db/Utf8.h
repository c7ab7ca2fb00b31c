#pragma once

#include <QByteArrayView>

// UTF-8, the form in which a Value carries text: one decoder for the whole
// tree, inline because the export writes every character through it.
namespace brivano::db {

// One UTF-8 sequence: its code point and its length in bytes, or a length
// of 0 when the bytes are no well-formed UTF-8 (a stray or cut-off byte, an
// overlong form, a surrogate, a code point past U+10FFFF).
struct Utf8Sequence {
    char32_t codePoint = 0;
    int length = 0;
};

// The sequence that starts at `at`, which is before `end`.
inline Utf8Sequence decodeUtf8(const unsigned char* at, const unsigned char* end) {
    const unsigned char lead = *at;
    if (lead < 0x80)
        return {lead, 1};
    int trail = 0;
    char32_t codePoint = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        trail = 1;
        codePoint = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        trail = 2;
        codePoint = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        trail = 3;
        codePoint = lead & 0x07;
    } else {
        return {};
    }
    if (end - at <= trail)
        return {};
    for (int i = 1; i <= trail; ++i) {
        if ((at[i] & 0xC0) != 0x80)
            return {};
        codePoint = (codePoint << 6) | (at[i] & 0x3F);
    }
    constexpr char32_t kSmallest[] = {0, 0x80, 0x800, 0x10000};
    if (codePoint < kSmallest[trail] || (codePoint >= 0xD800 && codePoint <= 0xDFFF) ||
        codePoint > 0x10FFFF)
        return {};
    return {codePoint, trail + 1};
}

// True when `text` is well-formed UTF-8.
inline bool isUtf8(QByteArrayView text) {
    const auto* at = reinterpret_cast<const unsigned char*>(text.data());
    const auto* end = at + text.size();
    while (at < end) {
        const int length = decodeUtf8(at, end).length;
        if (length == 0)
            return false;
        at += length;
    }
    return true;
}

}  // namespace brivano::db
