#include "platform/CodePageConverter.h"

#include "platform/IcuConverter.h"

namespace brivano::platform {
namespace {

constexpr char kReplacement = '?';
constexpr char32_t kFirstSupplementary = 0x10000;

}  // namespace

struct CodePageConverter::State {
    IcuConverter converter;
};

CodePageConverter::CodePageConverter(int number)
    : state_(std::make_unique<State>(State{openCodePageConverter(number)})) {
    // No fallbacks: ICU would write a look-alike ("A" for "Ā") where the
    // code page lacks the character.
    ucnv_setFallback(state_->converter.get(), false);
    UErrorCode status = U_ZERO_ERROR;
    ucnv_setSubstChars(state_->converter.get(), &kReplacement, 1, &status);
}

CodePageConverter::~CodePageConverter() = default;

EncodedCharacter CodePageConverter::convert(char32_t codePoint) {
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
        ucnv_fromUChars(state_->converter.get(), bytes, sizeof bytes, units, length, &status);
    EncodedCharacter encoded;
    if (U_FAILURE(status) || written < 1 || written > 2) {
        encoded.size = 1;
        encoded.bytes[0] = kReplacement;
    } else {
        encoded.size = static_cast<std::uint8_t>(written);
        encoded.bytes[0] = bytes[0];
        encoded.bytes[1] = written > 1 ? bytes[1] : '\0';
    }
    // The substitution character is all ICU tells of a character it lacks.
    encoded.replaced = codePoint != U'?' && encoded.size == 1 && encoded.bytes[0] == kReplacement;
    return encoded;
}

}  // namespace brivano::platform
