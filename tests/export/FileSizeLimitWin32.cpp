#include "export/FileSizeLimit.h"

namespace brivano::test {

struct FileSizeLimit::Saved {};

bool FileSizeLimit::available() {
    return false;
}

FileSizeLimit::FileSizeLimit(std::int64_t bytes) {
    (void)bytes;
}

FileSizeLimit::~FileSizeLimit() = default;

}  // namespace brivano::test
