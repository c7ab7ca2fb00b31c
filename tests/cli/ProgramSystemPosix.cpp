#include "ExportProcess.h"

namespace brivano::cli::test {

bool programsDriveIsTheTests() {
    return true;
}

bool programsLocaleFollowsEnvironment() {
    return true;
}

}  // namespace brivano::cli::test
