#include "export/CodePage.h"

#include <cstring>

#include "db/Utf8.h"

namespace brivano::exporter {
namespace {

constexpr char kReplacement = '?';
constexpr char32_t kFirstSupplementary = 0x10000;

// The first byte from `at` that is not ASCII, eight bytes at a time.
const unsigned char* skipAscii(const unsigned char* at, const unsigned char* end) {
    constexpr std::uint64_t kHighBits = 0x8080808080808080ULL;
    while (end - at >= 8) {
        std::uint64_t word;
        std::memcpy(&word, at, sizeof word);
        if ((word & kHighBits) != 0)
            break;
        at += 8;
    }
    while (at < end && *at < 0x80)
        ++at;
    return at;
}

}  // namespace

CodePage::CodePage(int number)
    : number_(number),
      converter_(number),
      cache_(std::make_unique<std::array<Encoded, 0x10000>>()) {
    // ASCII is copied without asking the converter where the code page
    // writes it as itself; checked, not assumed: ICU's 932 moves three
    // control characters.
    asciiAsIs_ = true;
    for (char32_t c = 0; c < 0x80; ++c) {
        const Encoded& encoded = cached(c);
        asciiAsIs_ = asciiAsIs_ && encoded.size == 1 && encoded.bytes[0] == static_cast<char>(c);
    }
}

CodePage::~CodePage() = default;

const CodePage::Encoded& CodePage::cached(char32_t codePoint) {
    Encoded& encoded = (*cache_)[codePoint];
    if (encoded.size == 0)
        encoded = converter_.convert(codePoint);
    return encoded;
}

void CodePage::appendCodePoint(char32_t codePoint, ByteBuffer& out) {
    const Encoded encoded =
        codePoint < kFirstSupplementary ? cached(codePoint) : converter_.convert(codePoint);
    out.append(encoded.bytes[0]);
    for (std::uint8_t i = 1; i < encoded.size; ++i)
        out.append(encoded.bytes[i]);
    if (encoded.replaced)
        ++replacements_;
}

void CodePage::appendUtf8(QByteArrayView text, ByteBuffer& out) {
    const auto* at = reinterpret_cast<const unsigned char*>(text.data());
    const auto* end = at + text.size();
    const qsizetype start = out.size();
    const std::int64_t replacementsBefore = replacements_;
    while (at < end) {
        // Most of an export is ASCII: copy whole runs of it at once.
        const auto* run = at;
        if (asciiAsIs_)
            at = skipAscii(at, end);
        if (at != run)
            out.append(reinterpret_cast<const char*>(run), at - run);
        if (at == end)
            break;
        if (*at < 0x80) {
            appendCodePoint(*at++, out);
            continue;
        }
        const db::Utf8Sequence decoded = db::decodeUtf8(at, end);
        if (decoded.length == 0) {
            out.truncate(start);
            replacements_ = replacementsBefore;
            appendLatin1(text, out);
            return;
        }
        appendCodePoint(decoded.codePoint, out);
        at += decoded.length;
    }
}

void CodePage::appendLatin1(QByteArrayView text, ByteBuffer& out) {
    for (const char byte : text) {
        const auto value = static_cast<unsigned char>(byte);
        if (value < 0x80 && asciiAsIs_)
            out.append(byte);
        else
            appendCodePoint(value, out);
    }
}

void CodePage::appendUtf16(QStringView text, ByteBuffer& out) {
    const char16_t* at = text.utf16();
    const char16_t* end = at + text.size();
    while (at < end) {
        char32_t codePoint = *at++;
        if (codePoint < 0x80 && asciiAsIs_) {
            out.append(static_cast<char>(codePoint));
            continue;
        }
        if (codePoint >= 0xD800 && codePoint <= 0xDBFF && at < end && *at >= 0xDC00 &&
            *at <= 0xDFFF) {
            codePoint = 0x10000 + ((codePoint - 0xD800) << 10) + (*at++ - 0xDC00);
        } else if (codePoint >= 0xD800 && codePoint <= 0xDFFF) {
            // A lone surrogate is no character at all.
            out.append(kReplacement);
            ++replacements_;
            continue;
        }
        appendCodePoint(codePoint, out);
    }
}

QByteArray CodePage::encode(QStringView text) {
    ByteBuffer out;
    appendUtf16(text, out);
    return out.view().toByteArray();
}

}  // namespace brivano::exporter
