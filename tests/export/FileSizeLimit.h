#pragma once

#include <cstdint>
#include <memory>

namespace brivano::test {

// Caps the size of files that this process may write, so that a write fails
// the way it does on a full disk; the old limit returns when it goes away.
// Windows has no such limit for a process: there available() is false and
// the cap does nothing.
class FileSizeLimit {
  public:
    static bool available();

    explicit FileSizeLimit(std::int64_t bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

  private:
    struct Saved;
    std::unique_ptr<Saved> saved_;
};

}  // namespace brivano::test
