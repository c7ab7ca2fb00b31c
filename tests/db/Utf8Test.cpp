#include "db/Utf8.h"

#include <gtest/gtest.h>

#include <QByteArray>

namespace brivano::db {
namespace {

Utf8Sequence decode(const QByteArray& bytes) {
    const auto* at = reinterpret_cast<const unsigned char*>(bytes.constData());
    return decodeUtf8(at, at + bytes.size());
}

TEST(Utf8, DecodesOneSequenceAndRefusesWhatIsNoUtf8) {
    const struct {
        const char* behaviour;
        QByteArray bytes;
        char32_t codePoint;
        int length;  // 0: refused
    } cases[] = {
        {"ASCII", "A+", U'A', 1},
        {"two bytes", "\xC3\xA8", U'\u00E8', 2},
        {"three bytes", "\xE2\x82\xAC", U'\u20AC', 3},
        {"four bytes", "\xF0\x9D\x84\x9E", U'\U0001D11E', 4},
        {"the last code point", "\xF4\x8F\xBF\xBF", U'\U0010FFFF', 4},
        {"a trail byte alone", "\x80", 0, 0},
        {"overlong in two bytes", "\xC0\xAF", 0, 0},
        {"overlong in three bytes", "\xE0\x80\xAF", 0, 0},
        {"overlong in four bytes", "\xF0\x80\x80\xAF", 0, 0},
        {"a surrogate", "\xED\xA0\x80", 0, 0},
        {"past U+10FFFF", "\xF4\x90\x80\x80", 0, 0},
        {"a lead byte no sequence has", "\xF5\x80\x80\x80", 0, 0},
        {"cut off", "\xE2\x82", 0, 0},
        {"ASCII where a trail byte belongs", "\xC3(", 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.behaviour);
        const Utf8Sequence decoded = decode(c.bytes);
        EXPECT_EQ(decoded.length, c.length);
        if (c.length > 0) {
            EXPECT_EQ(decoded.codePoint, c.codePoint);
        }
    }
    EXPECT_TRUE(isUtf8(""));
    EXPECT_TRUE(isUtf8("caf\xC3\xA9 \xE2\x82\xAC"));
    EXPECT_FALSE(isUtf8("caf\xE9"));
    EXPECT_FALSE(isUtf8("caf\xC3"));  // cut off at the very end
}

}  // namespace
}  // namespace brivano::db
