#include "support/TestSupport.h"

#include <cstdlib>

namespace brivano::test {

bool serversRequired() {
    const char* value = std::getenv("BRIVANO_REQUIRE_SERVERS");
    return value != nullptr && QString::fromUtf8(value) == QStringLiteral("1");
}

}  // namespace brivano::test
