#include "platform/FileLock.h"

#include <windows.h>

#include <utility>

namespace brivano::platform {
namespace {

HANDLE asHandle(std::intptr_t handle) {
    return reinterpret_cast<HANDLE>(handle);
}

}  // namespace

FileLock FileLock::tryTake(const QString& path, Outcome& outcome, std::error_code& error) {
    error.clear();
    // Shared for reading, writing and deleting: only the byte-range lock
    // below keeps a second holder out. The handle is not inherited.
    const HANDLE file =
        ::CreateFileW(reinterpret_cast<const wchar_t*>(path.utf16()), GENERIC_READ | GENERIC_WRITE,
                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                      FILE_ATTRIBUTE_HIDDEN, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        error = {static_cast<int>(::GetLastError()), std::system_category()};
        outcome = Outcome::Failed;
        return {};
    }
    OVERLAPPED start{};
    if (!::LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &start)) {
        const DWORD number = ::GetLastError();
        ::CloseHandle(file);
        if (number == ERROR_LOCK_VIOLATION) {
            outcome = Outcome::Busy;
            return {};
        }
        error = {static_cast<int>(number), std::system_category()};
        outcome = Outcome::Failed;
        return {};
    }
    outcome = Outcome::Taken;
    return FileLock(reinterpret_cast<std::intptr_t>(file));
}

void FileLock::release() noexcept {
    if (handle_ == kNoHandle)
        return;
    const HANDLE file = asHandle(std::exchange(handle_, kNoHandle));
    OVERLAPPED start{};
    ::UnlockFileEx(file, 0, 1, 0, &start);
    ::CloseHandle(file);
}

}  // namespace brivano::platform
