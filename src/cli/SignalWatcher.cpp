#include "cli/SignalWatcher.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>

#include "cli/ConsoleExportHost.h"

namespace brivano::cli {
namespace {

std::atomic<int> firstSignal{0};
int pipeFds[2] = {-1, -1};
constexpr char kQuit = 0;
constexpr char kSignal = 1;

}  // namespace

void SignalWatcher::handle(int signal) {
    // Only async-signal-safe calls here.
    int expected = 0;
    if (!firstSignal.compare_exchange_strong(expected, signal)) {
        std::signal(signal, SIG_DFL);
        std::raise(signal);
        return;
    }
    ConsoleExportHost::stopFlag().store(true);
    const int saved = errno;
    const char byte = kSignal;
    [[maybe_unused]] const ssize_t written = ::write(pipeFds[1], &byte, 1);
    errno = saved;
}

SignalWatcher::SignalWatcher(std::function<void()> onFirstSignal)
    : onFirstSignal_(std::move(onFirstSignal)) {
    if (::pipe2(pipeFds, O_CLOEXEC) != 0) {
        pipeFds[0] = pipeFds[1] = -1;
    } else {
        thread_ = std::thread([this] {
            char byte = kQuit;
            for (;;) {
                const ssize_t read = ::read(pipeFds[0], &byte, 1);
                if (read < 0 && errno == EINTR)
                    continue;
                if (read <= 0 || byte == kQuit)
                    return;
                onFirstSignal_();
            }
        });
    }
    std::signal(SIGINT, handle);
    std::signal(SIGTERM, handle);
}

SignalWatcher::~SignalWatcher() {
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
    if (thread_.joinable()) {
        const char byte = kQuit;
        [[maybe_unused]] const ssize_t written = ::write(pipeFds[1], &byte, 1);
        thread_.join();
    }
    for (int& fd : pipeFds) {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
}

int SignalWatcher::received() {
    return firstSignal.load();
}

}  // namespace brivano::cli
