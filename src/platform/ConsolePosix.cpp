#include "platform/Console.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

namespace brivano::platform {
namespace {

std::atomic<int> firstSignal{0};
std::atomic<std::atomic<bool>*> stopFlagToSet{nullptr};
int pipeFds[2] = {-1, -1};
constexpr char kQuit = 0;
constexpr char kSignal = 1;

void handle(int signal) {
    // Only async-signal-safe calls here.
    int expected = 0;
    if (!firstSignal.compare_exchange_strong(expected, signal)) {
        std::signal(signal, SIG_DFL);
        std::raise(signal);
        return;
    }
    if (std::atomic<bool>* flag = stopFlagToSet.load())
        flag->store(true);
    const int saved = errno;
    const char byte = kSignal;
    [[maybe_unused]] const ssize_t written = ::write(pipeFds[1], &byte, 1);
    errno = saved;
}

}  // namespace

StopSignalWatcher::StopSignalWatcher(std::atomic<bool>& stopFlag,
                                     std::function<void()> onFirstSignal)
    : onFirstSignal_(std::move(onFirstSignal)) {
    stopFlagToSet.store(&stopFlag);
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

StopSignalWatcher::~StopSignalWatcher() {
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
    stopFlagToSet.store(nullptr);
}

int StopSignalWatcher::received() {
    return firstSignal.load();
}

void surviveFailedWrites() {
    // Ignored, SIGXFSZ and SIGPIPE leave the write failing with EFBIG and
    // EPIPE.
    std::signal(SIGXFSZ, SIG_IGN);
    std::signal(SIGPIPE, SIG_IGN);
}

bool isTerminal(std::FILE* stream) {
    return ::isatty(::fileno(stream)) == 1;
}

}  // namespace brivano::platform
