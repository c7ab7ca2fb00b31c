#include "platform/Files.h"

#include <windows.h>

#include <QDir>
#include <QRandomGenerator>
#include <algorithm>
#include <cerrno>
#include <utility>
#include <vector>

#include "platform/ForcedExit.h"
#include "platform/Win32Error.h"

namespace brivano::platform {
namespace {

// One WriteFile or ReadFile moves at most this much; larger requests loop.
constexpr DWORD kMaxTransfer = 1u << 30;
constexpr int kCreateAttempts = 100;
constexpr QStringView kDeviceNamespace = u"\\\\.\\";
constexpr QStringView kLongPathPrefix = u"\\\\?\\";

// The path as Windows' wide calls take it: backslashes, terminated.
std::wstring wide(const QString& path) {
    return QDir::toNativeSeparators(path).toStdWString();
}

HANDLE asHandle(std::intptr_t handle) {
    return reinterpret_cast<HANDLE>(handle);
}

std::intptr_t fromHandle(HANDLE handle) {
    return reinterpret_cast<std::intptr_t>(handle);
}

// "NUL", "CON", "COM1" and "\\.\pipe\..." are devices, whatever folder
// they seem to be in: Windows' full path of them says so.
bool namesDevice(const std::wstring& path) {
    const DWORD needed = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (needed == 0)
        return false;
    std::vector<wchar_t> full(needed);
    const DWORD length = GetFullPathNameW(path.c_str(), needed, full.data(), nullptr);
    return length > 0 && length < needed &&
           QString::fromWCharArray(full.data(), length).startsWith(kDeviceNamespace);
}

bool isMissing(DWORD error) {
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

// Windows says "path not found" also where a file stands in the place of
// a folder of the path; Linux's more precise "not a folder" is found here.
std::error_code pathError(DWORD error, const QString& path) {
    if (error == ERROR_PATH_NOT_FOUND || error == ERROR_DIRECTORY) {
        QString folder = QDir::toNativeSeparators(path);
        for (qsizetype cut = folder.lastIndexOf(u'\\'); cut > 0; cut = folder.lastIndexOf(u'\\')) {
            folder.truncate(cut);
            const DWORD attributes = GetFileAttributesW(folder.toStdWString().c_str());
            if (attributes == INVALID_FILE_ATTRIBUTES)
                continue;
            if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
                return std::error_code(ENOTDIR, std::generic_category());
            break;
        }
    }
    return win32Error(error);
}

HANDLE openExisting(const std::wstring& path, DWORD access, DWORD flags) {
    return CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                       nullptr, OPEN_EXISTING, flags, nullptr);
}

}  // namespace

PathStatus pathStatus(const QString& path) {
    const std::wstring name = wide(path);
    if (namesDevice(name))
        return {PathKind::Stream, {}};
    const DWORD attributes = GetFileAttributesW(name.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = GetLastError();
        const std::error_code reason = pathError(error, path);
        const bool missing = isMissing(error) && reason.value() != ENOTDIR;
        return {missing ? PathKind::Missing : PathKind::Unreachable, reason};
    }
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        return {PathKind::Folder, std::error_code(EISDIR, std::generic_category())};
    return {PathKind::File, {}};
}

QString finalPath(const QString& path, std::error_code& error) {
    error.clear();
    const std::wstring name = wide(path);
    const DWORD attributes = GetFileAttributesW(name.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0)
        return path;
    // A symbolic link or junction: where it ends, as Windows resolves it.
    const HANDLE handle = openExisting(name, 0, FILE_FLAG_BACKUP_SEMANTICS);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD failure = GetLastError();
        // A link to a file still to be written is written through.
        if (!isMissing(failure))
            error = win32Error(failure);
        return path;
    }
    std::vector<wchar_t> buffer(MAX_PATH);
    DWORD length = GetFinalPathNameByHandleW(handle, buffer.data(), MAX_PATH, FILE_NAME_NORMALIZED);
    if (length >= MAX_PATH) {
        buffer.resize(length + 1);
        length = GetFinalPathNameByHandleW(handle, buffer.data(), length + 1, FILE_NAME_NORMALIZED);
    }
    const DWORD failure = GetLastError();
    CloseHandle(handle);
    if (length == 0 || length >= buffer.size()) {
        error = win32Error(failure);
        return path;
    }
    QString resolved = QString::fromWCharArray(buffer.data(), length);
    if (resolved.startsWith(kLongPathPrefix))
        resolved.remove(0, kLongPathPrefix.size());
    return resolved;
}

File::~File() {
    if (isOpen() && owned_)
        CloseHandle(asHandle(handle_));
}

File::File(File&& other) noexcept
    : handle_(std::exchange(other.handle_, kNoHandle)), owned_(other.owned_) {}

File& File::operator=(File&& other) noexcept {
    if (this != &other) {
        if (isOpen() && owned_)
            CloseHandle(asHandle(handle_));
        handle_ = std::exchange(other.handle_, kNoHandle);
        owned_ = other.owned_;
    }
    return *this;
}

File File::standardOutput() {
    return File(fromHandle(GetStdHandle(STD_OUTPUT_HANDLE)), false);
}

File File::openStream(const QString& path, std::error_code& error) {
    const HANDLE handle =
        CreateFileW(wide(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    error = handle == INVALID_HANDLE_VALUE ? lastWin32Error() : std::error_code();
    return handle == INVALID_HANDLE_VALUE ? File() : File(fromHandle(handle), true);
}

File File::openForSequentialReading(const QString& path, std::error_code& error) {
    const std::wstring name = wide(path);
    const HANDLE handle = openExisting(name, GENERIC_READ, FILE_FLAG_SEQUENTIAL_SCAN);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD failure = GetLastError();
        // A folder is refused as "access denied"; Linux says what it is.
        const DWORD attributes = GetFileAttributesW(name.c_str());
        const bool folder = failure == ERROR_ACCESS_DENIED &&
                            attributes != INVALID_FILE_ATTRIBUTES &&
                            (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        error =
            folder ? std::error_code(EISDIR, std::generic_category()) : pathError(failure, path);
        return {};
    }
    error.clear();
    return File(fromHandle(handle), true);
}

File File::openRegularForReading(const QString& path, std::error_code& error) {
    const std::wstring name = wide(path);
    const DWORD attributes = GetFileAttributesW(name.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        error = std::error_code(EISDIR, std::generic_category());
        return {};
    }
    // A device or a pipe is refused before it is opened: opening one may
    // wait or take what another program is owed.
    if (namesDevice(name)) {
        error = std::make_error_code(std::errc::invalid_argument);
        return {};
    }
    const HANDLE handle = openExisting(name, GENERIC_READ, FILE_FLAG_SEQUENTIAL_SCAN);
    if (handle == INVALID_HANDLE_VALUE) {
        error = pathError(GetLastError(), path);
        return {};
    }
    File file(fromHandle(handle), true);
    if (GetFileType(handle) != FILE_TYPE_DISK) {
        error = std::make_error_code(std::errc::invalid_argument);
        return {};
    }
    error.clear();
    return file;
}

File File::openScratch(std::error_code& error) {
    const std::wstring folder = wide(QDir::tempPath());
    wchar_t name[MAX_PATH];
    if (GetTempFileNameW(folder.c_str(), L"brv", 0, name) == 0) {
        error = lastWin32Error();
        return {};
    }
    // The name is taken; the handle that deletes it on closing replaces
    // the empty file GetTempFileNameW left.
    const HANDLE handle =
        CreateFileW(name, GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                    FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        error = lastWin32Error();
        DeleteFileW(name);
        return {};
    }
    error.clear();
    return File(fromHandle(handle), true);
}

std::error_code File::write(QByteArrayView bytes) {
    const char* at = bytes.data();
    qsizetype left = bytes.size();
    while (left > 0) {
        const DWORD chunk = static_cast<DWORD>(std::min<qsizetype>(left, kMaxTransfer));
        DWORD written = 0;
        if (!WriteFile(asHandle(handle_), at, chunk, &written, nullptr))
            return lastWin32Error();
        if (written == 0)
            return win32Error(ERROR_WRITE_FAULT);
        at += written;
        left -= written;
    }
    return {};
}

std::error_code File::read(char* into, qsizetype capacity, qsizetype& count) {
    const DWORD chunk = static_cast<DWORD>(std::min<qsizetype>(capacity, kMaxTransfer));
    DWORD read = 0;
    count = 0;
    if (!ReadFile(asHandle(handle_), into, chunk, &read, nullptr)) {
        // A pipe whose writer has gone ends like a file.
        const DWORD error = GetLastError();
        return error == ERROR_BROKEN_PIPE ? std::error_code() : win32Error(error);
    }
    count = read;
    return {};
}

std::error_code File::truncate(std::int64_t size) {
    if (const std::error_code error = seek(size))
        return error;
    return SetEndOfFile(asHandle(handle_)) ? std::error_code() : lastWin32Error();
}

std::error_code File::seek(std::int64_t offset) {
    LARGE_INTEGER distance;
    distance.QuadPart = offset;
    return SetFilePointerEx(asHandle(handle_), distance, nullptr, FILE_BEGIN) ? std::error_code()
                                                                              : lastWin32Error();
}

std::error_code File::sync() {
    return FlushFileBuffers(asHandle(handle_)) ? std::error_code() : lastWin32Error();
}

std::error_code File::close() {
    if (!isOpen())
        return {};
    const HANDLE handle = asHandle(std::exchange(handle_, kNoHandle));
    if (!owned_)
        return {};
    return CloseHandle(handle) ? std::error_code() : lastWin32Error();
}

ReplacementFile ReplacementFile::create(const QString& destination, std::error_code& error,
                                        Naming) {
    // Windows has no unnamed files: the new file has a hidden name of its
    // own beside the destination (CREATE_NEW never opens one that is already
    // there), which the destination's next writer removes if this one is
    // killed. It takes the folder's permissions, as any new file does.
    static constexpr char kLetters[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    for (int attempt = 0; attempt < kCreateAttempts; ++attempt) {
        QString unique;
        for (int i = 0; i < 6; ++i)
            unique += QChar::fromLatin1(kLetters[QRandomGenerator::global()->bounded(
                static_cast<int>(sizeof kLetters - 1))]);
        const QString name = hiddenReplacementPath(destination, unique);
        const HANDLE handle = CreateFileW(wide(name).c_str(), GENERIC_READ | GENERIC_WRITE,
                                          FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, CREATE_NEW,
                                          FILE_ATTRIBUTE_HIDDEN, nullptr);
        if (handle == INVALID_HANDLE_VALUE) {
            const DWORD failure = GetLastError();
            if (failure == ERROR_FILE_EXISTS || failure == ERROR_ALREADY_EXISTS)
                continue;
            error = pathError(failure, destination);
            return {};
        }
        error.clear();
        ReplacementFile replacement;
        replacement.file_ = File(fromHandle(handle), true);
        replacement.destination_ = destination;
        replacement.temporary_ = name;
        removeAtForcedExit(name);
        return replacement;
    }
    error = win32Error(ERROR_FILE_EXISTS);
    return {};
}

std::error_code ReplacementFile::finishWriting() {
    if (const std::error_code error = file_.sync())
        return error;
    return file_.close();
}

std::error_code ReplacementFile::replaceDestination() {
    // Windows moves no file that is still open: finishWriting() closed it.
    file_ = File();
    // Hidden while it was written; the export itself is a plain file.
    const std::wstring temporary = wide(temporary_);
    if (!SetFileAttributesW(temporary.c_str(), FILE_ATTRIBUTE_NORMAL))
        return lastWin32Error();
    if (!MoveFileExW(temporary.c_str(), wide(destination_).c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return lastWin32Error();
    keepAtForcedExit(temporary_);
    temporary_.clear();
    return {};
}

std::error_code ReplacementFile::syncFolder() {
    // MOVEFILE_WRITE_THROUGH returned only once the move was on the disk.
    return {};
}

void ReplacementFile::discard() noexcept {
    file_ = File();
    if (!temporary_.isEmpty()) {
        DeleteFileW(wide(temporary_).c_str());
        keepAtForcedExit(temporary_);
        temporary_.clear();
    }
}

}  // namespace brivano::platform
