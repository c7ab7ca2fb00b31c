#include "support/TestSupport.h"

namespace brivano::test {

QString driverPath(const QString& path) {
    return path;
}

bool localeFollowsEnvironment() {
    return true;
}

bool posixClientConventions() {
    return true;
}

}  // namespace brivano::test
