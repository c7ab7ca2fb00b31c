#include "platform/ToolPaths.h"

#include <QDir>

namespace brivano::platform {

// No drive C: here: the home folder takes its place.
ToolPaths ToolPaths::forCurrentUser() {
    return ToolPaths(QDir::homePath());
}

}  // namespace brivano::platform
