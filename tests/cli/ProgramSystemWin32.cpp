#include "ExportProcess.h"

namespace brivano::cli::test {

bool programsDriveIsTheTests() {
    return false;
}

bool programsLocaleFollowsEnvironment() {
    return false;
}

}  // namespace brivano::cli::test
