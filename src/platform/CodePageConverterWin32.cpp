#include "platform/CodePageConverter.h"

#include <windows.h>

#include "platform/Win32Error.h"
#include "texts/Error.h"
#include "texts/Texts.h"

namespace brivano::platform {
namespace {

constexpr char kReplacement[] = "?";
constexpr char32_t kFirstSupplementary = 0x10000;

}  // namespace

struct CodePageConverter::State {
    UINT codePage;
};

CodePageConverter::CodePageConverter(int number)
    : state_(std::make_unique<State>(State{static_cast<UINT>(number)})) {
    if (number <= 0 || !IsValidCodePage(state_->codePage)) {
        throw Error(ERROR_INVALID_PARAMETER,
                    texts::codePageUnavailable(number, win32Message(ERROR_INVALID_PARAMETER)));
    }
}

CodePageConverter::~CodePageConverter() = default;

EncodedCharacter CodePageConverter::convert(char32_t codePoint) {
    wchar_t units[2];
    int length = 0;
    if (codePoint < kFirstSupplementary) {
        units[length++] = static_cast<wchar_t>(codePoint);
    } else {
        units[length++] = static_cast<wchar_t>(0xD7C0 + (codePoint >> 10));
        units[length++] = static_cast<wchar_t>(0xDC00 | (codePoint & 0x3FF));
    }
    char bytes[8];
    BOOL usedDefault = FALSE;
    int written;
    if (state_->codePage == CP_UTF8) {
        // UTF-8 holds every character; Windows refuses the flags and the
        // default character for it.
        written =
            WideCharToMultiByte(CP_UTF8, 0, units, length, bytes, sizeof bytes, nullptr, nullptr);
    } else {
        // Without WC_NO_BEST_FIT_CHARS Windows writes a look-alike ("L" for
        // "Ł") and says nothing; with it the character becomes "?" and
        // usedDefault tells.
        written = WideCharToMultiByte(state_->codePage, WC_NO_BEST_FIT_CHARS, units, length, bytes,
                                      sizeof bytes, kReplacement, &usedDefault);
    }
    EncodedCharacter encoded;
    if (usedDefault || written < 1 || written > static_cast<int>(sizeof encoded.bytes)) {
        // One "?" for the character, even where each half of a surrogate
        // pair got its own.
        encoded.size = 1;
        encoded.bytes[0] = kReplacement[0];
        encoded.replaced = true;
        return encoded;
    }
    encoded.size = static_cast<std::uint8_t>(written);
    for (int i = 0; i < written; ++i)
        encoded.bytes[i] = bytes[i];
    return encoded;
}

}  // namespace brivano::platform
