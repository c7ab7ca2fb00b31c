#include "platform/ToolPaths.h"

namespace brivano::platform {

ToolPaths ToolPaths::forCurrentUser() {
    return ToolPaths(QStringLiteral("C:/"));
}

}  // namespace brivano::platform
