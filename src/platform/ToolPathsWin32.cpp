#include "platform/ToolPaths.h"

namespace brivano::platform {

// The tool's files are on drive C: for every user, as its operators know
// them: C:\Export.txt, C:\Programmi\Tavorin\Set\Connection.set.
ToolPaths ToolPaths::forCurrentUser() {
    return ToolPaths(QStringLiteral("C:/"));
}

}  // namespace brivano::platform
