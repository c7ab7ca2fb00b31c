#pragma once

#include <cstdint>
#include <memory>

namespace brivano::platform {

// One character in an ANSI code page: one or two bytes in Windows' code
// pages, up to four where the system's code page is UTF-8 (65001).
struct EncodedCharacter {
    std::uint8_t size = 0;  // 0: none yet
    // Written as "?" because the code page has no such character.
    bool replaced = false;
    char bytes[4] = {};
};

// Converts characters into one Windows code page, one at a time. A
// character that the code page cannot represent becomes "?", as Windows
// writes it, never a best-fit look-alike, so that what was lost stays
// visible.
class CodePageConverter {
  public:
    // Throws Error when the code page is unknown.
    explicit CodePageConverter(int number);
    ~CodePageConverter();
    CodePageConverter(const CodePageConverter&) = delete;
    CodePageConverter& operator=(const CodePageConverter&) = delete;

    // `codePoint` is a Unicode scalar value (no surrogate).
    EncodedCharacter convert(char32_t codePoint);

  private:
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace brivano::platform
