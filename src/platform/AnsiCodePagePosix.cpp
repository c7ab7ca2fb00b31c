#include "platform/AnsiCodePage.h"

#include <cstdlib>

namespace brivano::platform {

// A POSIX system names no ANSI code page: the locale's language picks the
// one Windows would use.
int systemCodePage() {
    for (const char* variable : {"LC_ALL", "LC_CTYPE", "LANG"}) {
        const char* value = std::getenv(variable);
        if (value != nullptr && *value != '\0')
            return codePageForLocale(QString::fromLocal8Bit(value));
    }
    return codePageForLocale(u"C");
}

}  // namespace brivano::platform
