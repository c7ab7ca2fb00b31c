#include "NetworkRelay.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>

namespace brivano::cli::test {
namespace {

constexpr int kSliceMs = 50;
constexpr auto kMostWait = std::chrono::seconds(20);

int listenOn(const std::string& host, int& port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    if (::inet_pton(AF_INET, host.c_str(), &address.sin_addr) != 1)
        return -1;
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return -1;
    socklen_t length = sizeof address;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(fd, 16) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        ::close(fd);
        return -1;
    }
    port = ntohs(address.sin_port);
    return fd;
}

int connectToLoopback(int port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    if (fd >= 0 && ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// Accepts one connection if one comes within a slice; -1 otherwise.
int acceptWithin(int listener) {
    pollfd entry{listener, POLLIN, 0};
    if (::poll(&entry, 1, kSliceMs) <= 0)
        return -1;
    return ::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
}

// Waits, a slice at a time and at most kMostWait, until `done` holds.
template <typename Done>
bool awaitUntil(Done done) {
    const auto until = std::chrono::steady_clock::now() + kMostWait;
    while (!done() && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(kSliceMs));
    return done();
}

}  // namespace

SilentListener::SilentListener() : listener_(listenOn(kLoopback, port_)) {
    thread_ = std::thread([this] {
        while (!quit_.load() && listener_ >= 0) {
            const int client = acceptWithin(listener_);
            if (client < 0)
                continue;
            const std::lock_guard lock(mutex_);
            clients_.push_back(client);
            ++accepted_;
        }
    });
}

SilentListener::~SilentListener() {
    quit_ = true;
    thread_.join();
    for (const int client : clients_)
        ::close(client);
    if (listener_ >= 0)
        ::close(listener_);
}

bool SilentListener::awaitClient() const {
    return awaitUntil([this] { return accepted_.load() > 0; });
}

StallingProxy::StallingProxy(int serverPort, std::int64_t bytesBeforeStall,
                             const std::string& listenAddress)
    : listener_(listenOn(listenAddress, port_)),
      serverPort_(serverPort),
      bytesBeforeStall_(bytesBeforeStall) {
    thread_ = std::thread([this] {
        while (!quit_.load() && listener_ >= 0) {
            const int client = acceptWithin(listener_);
            if (client < 0)
                continue;
            const std::lock_guard lock(mutex_);
            sockets_.push_back(client);
            if (stalled_.load())
                continue;  // held open, never answered
            const int server = connectToLoopback(serverPort_);
            if (server < 0)
                continue;
            sockets_.push_back(server);
            relays_.emplace_back([this, client, server] { relay(client, server); });
        }
    });
}

StallingProxy::~StallingProxy() {
    quit_ = true;
    thread_.join();
    for (std::thread& relay : relays_)
        relay.join();
    for (const int socket : sockets_)
        ::close(socket);
    if (listener_ >= 0)
        ::close(listener_);
}

bool StallingProxy::awaitStall() const {
    return awaitUntil([this] { return stalled_.load(); });
}

void StallingProxy::relay(int client, int server) {
    char buffer[16384];
    while (!quit_.load()) {
        if (stalled_.load()) {
            std::this_thread::sleep_for(std::chrono::milliseconds(kSliceMs));
            continue;  // nothing passes any more; the sockets stay open
        }
        pollfd entries[2] = {{client, POLLIN, 0}, {server, POLLIN, 0}};
        if (::poll(entries, 2, kSliceMs) <= 0)
            continue;
        for (int k = 0; k < 2; ++k) {
            if ((entries[k].revents & (POLLIN | POLLHUP | POLLERR)) == 0)
                continue;
            const int from = k == 0 ? client : server;
            const int to = k == 0 ? server : client;
            const ssize_t read = ::read(from, buffer, sizeof buffer);
            if (read <= 0)
                return;
            if (from == server && (fromServer_ += read) > bytesBeforeStall_) {
                stalled_ = true;
                break;
            }
            for (ssize_t sent = 0; sent < read;) {
                const ssize_t wrote = ::write(to, buffer + sent, static_cast<size_t>(read - sent));
                if (wrote <= 0)
                    return;
                sent += wrote;
            }
        }
    }
}

}  // namespace brivano::cli::test
