#include <sys/resource.h>

#include <csignal>

#include "export/FileSizeLimit.h"

namespace brivano::test {

struct FileSizeLimit::Saved {
    rlimit limit{};
    void (*handler)(int) = nullptr;
};

bool FileSizeLimit::available() {
    return true;
}

FileSizeLimit::FileSizeLimit(std::int64_t bytes) : saved_(std::make_unique<Saved>()) {
    getrlimit(RLIMIT_FSIZE, &saved_->limit);
    // Past the limit the kernel sends SIGXFSZ, which would end the process;
    // ignored, the write fails with EFBIG instead.
    saved_->handler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = saved_->limit;
    limited.rlim_cur = static_cast<rlim_t>(bytes);
    setrlimit(RLIMIT_FSIZE, &limited);
}

FileSizeLimit::~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &saved_->limit);
    std::signal(SIGXFSZ, saved_->handler);
}

}  // namespace brivano::test
