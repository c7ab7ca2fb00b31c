#include <windows.h>

#include <QDir>
#include <string>

#include "support/TestSupport.h"

namespace brivano::test {

// Under wine the tests reach this machine's unixODBC drivers, which open
// files by their Linux names; wine's kernel32 says what a Windows path is
// called there. On Windows itself the function is missing and the path
// stays as it is.
QString driverPath(const QString& path) {
    using ToUnix = char*(CDECL*)(LPCWSTR);
    static const auto toUnix = reinterpret_cast<ToUnix>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    // A path without a drive ("/no/such.db") is the same on both sides.
    const QString native = QDir::toNativeSeparators(path);
    if (toUnix == nullptr || path.size() < 2 || path[1] != u':')
        return toUnix == nullptr ? native : path;
    const std::wstring wide = native.toStdWString();
    char* unixName = toUnix(wide.c_str());
    if (unixName == nullptr)
        return native;
    const QString result = QString::fromUtf8(unixName);
    HeapFree(GetProcessHeap(), 0, unixName);
    return result;
}

// The user's regional settings hold for every program; LC_ALL says nothing.
bool localeFollowsEnvironment() {
    return false;
}

// Named pipes instead of socket files, option files under the Windows
// folder instead of HOME.
bool posixClientConventions() {
    return false;
}

}  // namespace brivano::test
