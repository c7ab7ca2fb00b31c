#include "export/CodePage.h"

#include <unicode/ucnv.h>

#include <cstring>

#include "db/Error.h"
#include "texts/Texts.h"

namespace brivano::exporter {
namespace {

constexpr char kReplacement = '?';
constexpr char32_t kFirstSupplementary = 0x10000;

// One UTF-8 sequence at `at`: its code point and length, or a length of 0
// when the bytes are no well-formed UTF-8.
struct Decoded {
    char32_t codePoint = 0;
    int length = 0;
};

Decoded decodeUtf8(const unsigned char* at, const unsigned char* end) {
    const unsigned char lead = *at;
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

void CodePage::ConverterCloser::operator()(UConverter* converter) const {
    ucnv_close(converter);
}

CodePage::CodePage(int number)
    : number_(number), cache_(std::make_unique<std::array<Encoded, 0x10000>>()) {
    UErrorCode status = U_ZERO_ERROR;
    converter_.reset(ucnv_open(db::codePageConverterName(number).constData(), &status));
    if (U_FAILURE(status)) {
        throw Error(status,
                    texts::codePageUnavailable(number, QString::fromLatin1(u_errorName(status))));
    }
    // Unrepresentable characters become "?", as Windows writes them; no
    // best-fit look-alikes, so what was lost stays visible.
    ucnv_setFallback(converter_.get(), false);
    status = U_ZERO_ERROR;
    ucnv_setSubstChars(converter_.get(), &kReplacement, 1, &status);
    // ASCII is copied without asking the converter where the code page
    // writes it as itself; checked, not assumed: ICU's 932 moves three
    // control characters.
    asciiAsIs_ = true;
    for (char32_t c = 0; c < 0x80; ++c) {
        const Encoded encoded = convert(c);
        asciiAsIs_ = asciiAsIs_ && encoded.size == 1 && encoded.bytes[0] == static_cast<char>(c);
    }
}

CodePage::~CodePage() = default;

CodePage::Encoded CodePage::convert(char32_t codePoint) {
    UChar units[2];
    int32_t length = 0;
    if (codePoint < kFirstSupplementary) {
        units[length++] = static_cast<UChar>(codePoint);
    } else {
        units[length++] = static_cast<UChar>(0xD7C0 + (codePoint >> 10));
        units[length++] = static_cast<UChar>(0xDC00 | (codePoint & 0x3FF));
    }
    char bytes[8];
    UErrorCode status = U_ZERO_ERROR;
    const int32_t written =
        ucnv_fromUChars(converter_.get(), bytes, sizeof bytes, units, length, &status);
    Encoded encoded;
    if (U_FAILURE(status) || written < 1 || written > 2) {
        encoded.size = 1;
        encoded.bytes[0] = kReplacement;
    } else {
        encoded.size = static_cast<std::uint8_t>(written);
        encoded.bytes[0] = bytes[0];
        encoded.bytes[1] = written > 1 ? bytes[1] : '\0';
    }
    encoded.replaced = codePoint != U'?' && encoded.size == 1 && encoded.bytes[0] == kReplacement;
    return encoded;
}

void CodePage::appendCodePoint(char32_t codePoint, ByteBuffer& out) {
    Encoded encoded;
    if (codePoint < kFirstSupplementary) {
        Encoded& cached = (*cache_)[codePoint];
        if (cached.size == 0)
            cached = convert(codePoint);
        encoded = cached;
    } else {
        encoded = convert(codePoint);
    }
    out.append(encoded.bytes[0]);
    if (encoded.size > 1)
        out.append(encoded.bytes[1]);
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
        const Decoded decoded = decodeUtf8(at, end);
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
