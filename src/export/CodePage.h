#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QStringView>
#include <array>
#include <cstdint>
#include <memory>

#include "export/ByteBuffer.h"
#include "platform/AnsiCodePage.h"
#include "platform/CodePageConverter.h"

namespace brivano::exporter {

// Encodes text in an ANSI code page, the export file's encoding: ASCII as
// it is, every other character through the system's converter once and
// from a cache after that, so a line is built without a converter call per
// value. A character that the code page cannot represent is written as
// "?", never as a look-alike, and counted.
class CodePage {
  public:
    // Opens the converter; throws Error when the code page is unknown.
    explicit CodePage(int number = platform::systemCodePage());
    ~CodePage();
    CodePage(const CodePage&) = delete;
    CodePage& operator=(const CodePage&) = delete;

    int number() const { return number_; }

    // Appends the encoding of UTF-8 text to `out`. Bytes that are not UTF-8
    // are taken as Latin-1 characters (the whole text, then), so that no
    // byte of a value is lost to a replacement character.
    void appendUtf8(QByteArrayView text, ByteBuffer& out);
    // The same for UTF-16 text (names, the locale's words).
    void appendUtf16(QStringView text, ByteBuffer& out);
    QByteArray encode(QStringView text);

    // Characters written as "?" since the last reset.
    std::int64_t replacements() const { return replacements_; }
    void resetReplacements() { replacements_ = 0; }

  private:
    using Encoded = platform::EncodedCharacter;  // size 0 in the cache: not looked up yet

    void appendCodePoint(char32_t codePoint, ByteBuffer& out);
    const Encoded& cached(char32_t codePoint);
    void appendLatin1(QByteArrayView text, ByteBuffer& out);

    int number_;
    platform::CodePageConverter converter_;
    // The Basic Multilingual Plane, filled as characters turn up; the rare
    // characters beyond it go to the converter every time.
    std::unique_ptr<std::array<Encoded, 0x10000>> cache_;
    std::int64_t replacements_ = 0;
    bool asciiAsIs_ = false;
};

}  // namespace brivano::exporter
