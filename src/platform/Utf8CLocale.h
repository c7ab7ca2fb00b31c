#pragma once

namespace brivano::platform {

// While it lives, the calling thread runs in a UTF-8 "C" locale: the C
// library converts between wide and narrow text as UTF-8 and formats
// numbers with '.' decimals, whatever the operator's locale. Only the
// thread's locale changes, never the process's. On Windows, where text
// goes through the ANSI code page instead, the scope does nothing.
class Utf8CLocaleScope {
  public:
    Utf8CLocaleScope();
    ~Utf8CLocaleScope();
    Utf8CLocaleScope(const Utf8CLocaleScope&) = delete;
    Utf8CLocaleScope& operator=(const Utf8CLocaleScope&) = delete;

  private:
    void* previous_ = nullptr;
};

}  // namespace brivano::platform
