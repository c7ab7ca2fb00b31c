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
    const QString native = QDir::toNativeSeparators(path);
    if (toUnix == nullptr)
        return native;
    const std::wstring wide = native.toStdWString();
    char* unixName = toUnix(wide.c_str());
    if (unixName == nullptr)
        return native;
    const QString result = QString::fromUtf8(unixName);
    HeapFree(GetProcessHeap(), 0, unixName);
    return result;
}

}  // namespace brivano::test
