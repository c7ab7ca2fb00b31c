#include "support/TestSupport.h"

namespace brivano::test {

QString driverPath(const QString& path) {
    return path;
}

}  // namespace brivano::test
