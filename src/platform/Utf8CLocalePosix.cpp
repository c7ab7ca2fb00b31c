#include "platform/Utf8CLocale.h"

#include <locale.h>

#include <initializer_list>

namespace brivano::platform {
namespace {

// The UTF-8 locale, made once and kept for the life of the process.
class Utf8Locale {
  public:
    Utf8Locale() {
        for (const char* name : {"C.UTF-8", "C.utf8", "en_US.UTF-8"}) {
            locale_ = newlocale(LC_ALL_MASK, name, locale_t{});
            if (locale_ != locale_t{}) {
                break;
            }
        }
    }
    ~Utf8Locale() {
        if (locale_ != locale_t{}) {
            freelocale(locale_);
        }
    }
    Utf8Locale(const Utf8Locale&) = delete;
    Utf8Locale& operator=(const Utf8Locale&) = delete;

    // Null when the system has no UTF-8 locale at all; the scope then
    // leaves the thread's locale alone.
    locale_t get() const { return locale_; }

  private:
    locale_t locale_{};
};

locale_t utf8Locale() {
    static const Utf8Locale locale;
    return locale.get();
}

}  // namespace

Utf8CLocaleScope::Utf8CLocaleScope() {
    if (locale_t utf8 = utf8Locale(); utf8 != locale_t{}) {
        previous_ = uselocale(utf8);
    }
}

Utf8CLocaleScope::~Utf8CLocaleScope() {
    if (previous_ != nullptr) {
        uselocale(static_cast<locale_t>(previous_));
    }
}

}  // namespace brivano::platform
