#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace brivano::cli::test {

inline const std::string kLoopback = "127.0.0.1";

// A server on 127.0.0.1 that accepts connections and never says a word.
class SilentListener {
  public:
    SilentListener();
    ~SilentListener();
    SilentListener(const SilentListener&) = delete;
    SilentListener& operator=(const SilentListener&) = delete;

    int port() const { return port_; }
    // Waits (a bounded while) until a client has connected; false if none.
    bool awaitClient() const;
    bool hasClient() const { return accepted_.load() > 0; }

  private:
    int port_ = 0;  // set by the listener's initialisation, so declared first
    int listener_ = -1;
    std::atomic<int> accepted_{0};
    std::atomic<bool> quit_{false};
    std::mutex mutex_;
    std::vector<int> clients_;
    std::thread thread_;
};

// A relay on `listenAddress` (127.0.0.1 unless said) to a real server on
// 127.0.0.1 that passes everything on until the server has sent
// `bytesBeforeStall` bytes, and from then on passes nothing either way, on
// any connection, while keeping every one of them open: a link gone silent
// in the middle of a table.
class StallingProxy {
  public:
    StallingProxy(int serverPort, std::int64_t bytesBeforeStall,
                  const std::string& listenAddress = kLoopback);
    ~StallingProxy();
    StallingProxy(const StallingProxy&) = delete;
    StallingProxy& operator=(const StallingProxy&) = delete;

    int port() const { return port_; }
    // Waits (a bounded while) until the link went silent; false if not.
    bool awaitStall() const;

  private:
    void relay(int client, int server);

    int port_ = 0;  // set by the listener's initialisation, so declared first
    int listener_ = -1;
    int serverPort_;
    std::int64_t bytesBeforeStall_;
    std::atomic<std::int64_t> fromServer_{0};
    std::atomic<bool> stalled_{false};
    std::atomic<bool> quit_{false};
    std::mutex mutex_;
    std::vector<int> sockets_;
    std::vector<std::thread> relays_;
    std::thread thread_;
};

}  // namespace brivano::cli::test
