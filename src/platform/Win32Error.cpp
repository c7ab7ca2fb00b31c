#include "platform/Win32Error.h"

#include <cerrno>

namespace brivano::platform {

QString win32Message(DWORD number) {
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, number, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    QString message = length > 0 ? QString::fromWCharArray(text, length).trimmed()
                                 : QStringLiteral("errore di sistema %1").arg(number);
    LocalFree(text);
    return message;
}

std::error_code win32Error(DWORD number) {
    int mapped = 0;
    switch (number) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_DRIVE:
        case ERROR_BAD_NETPATH:
        case ERROR_BAD_NET_NAME:
            mapped = ENOENT;
            break;
        case ERROR_ACCESS_DENIED:
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
            mapped = EACCES;
            break;
        case ERROR_WRITE_PROTECT:
            mapped = EROFS;
            break;
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
            mapped = ENOSPC;
            break;
        case ERROR_FILE_TOO_LARGE:
            mapped = EFBIG;
            break;
        case ERROR_DIRECTORY:
            mapped = ENOTDIR;
            break;
        case ERROR_FILENAME_EXCED_RANGE:
            mapped = ENAMETOOLONG;
            break;
        case ERROR_BROKEN_PIPE:
        case ERROR_NO_DATA:
            mapped = EPIPE;
            break;
        case ERROR_TOO_MANY_OPEN_FILES:
            mapped = EMFILE;
            break;
        case ERROR_CRC:
        case ERROR_READ_FAULT:
        case ERROR_WRITE_FAULT:
        case ERROR_GEN_FAILURE:
            mapped = EIO;
            break;
        case ERROR_CANT_RESOLVE_FILENAME:
            mapped = ELOOP;
            break;
        default:
            return {static_cast<int>(number), std::system_category()};
    }
    return {mapped, std::generic_category()};
}

std::error_code lastWin32Error() {
    return win32Error(GetLastError());
}

}  // namespace brivano::platform
