#include "platform/Utf8CLocale.h"

namespace brivano::platform {

Utf8CLocaleScope::Utf8CLocaleScope() = default;
Utf8CLocaleScope::~Utf8CLocaleScope() = default;

}  // namespace brivano::platform
