#include "platform/CodePageConverter.h"

#include <gtest/gtest.h>

#include <QByteArray>

#include "texts/Error.h"

namespace brivano::platform {
namespace {

TEST(CodePageConverter, WritesWhatTheCodePageLacksAsAQuestionMarkAndSaysSo) {
    const struct {
        const char* behaviour;
        int codePage;
        char32_t codePoint;
        QByteArray bytes;
        bool replaced;
    } cases[] = {
        {"ASCII as is", 1252, U'A', "A", false},
        {"a real question mark", 1252, U'?', "?", false},
        {"a Western letter", 1252, U'\u00E8', "\xE8", false},
        {"the euro sign", 1252, U'\u20AC', "\x80", false},
        {"a Polish letter 1252 lacks, no look-alike", 1252, U'\u0141', "?", true},
        {"the same letter in 1250", 1250, U'\u0141', "\xA3", false},
        {"a Cyrillic letter", 1251, U'\u0410', "\xC0", false},
        {"a kanji in two bytes", 932, U'\u6F22', "\x8A\xBF", false},
        {"a letter 932 lacks", 932, U'\u00FC', "?", true},
        {"beyond the Basic Multilingual Plane", 1252, U'\U0001D11E', "?", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.behaviour);
        CodePageConverter converter(c.codePage);
        const EncodedCharacter encoded = converter.convert(c.codePoint);
        EXPECT_EQ(QByteArray(encoded.bytes, encoded.size), c.bytes);
        EXPECT_EQ(encoded.replaced, c.replaced);
    }
}

TEST(CodePageConverter, AnUnknownCodePageIsAnError) {
    try {
        CodePageConverter converter(12345);
        FAIL() << "no error";
    } catch (const Error& error) {
        EXPECT_TRUE(error.description().startsWith("La tabella codici 12345 non è disponibile: "))
            << error.description().toStdString();
    }
}

}  // namespace
}  // namespace brivano::platform
