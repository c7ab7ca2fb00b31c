#pragma once

#include <windows.h>

#include <QString>
#include <system_error>

// Windows' error numbers, for the Win32 sources of platform only.
namespace brivano::platform {

// The system's own words for GetLastError() number `number`, for reasons
// that only Windows can give (an unknown code page).
QString win32Message(DWORD number);

// The error that the rooms above word for the operator: the common Windows
// numbers as the errno numbers they mean, so that both systems give the
// same Italian reason; any other as Windows' own number.
std::error_code win32Error(DWORD number);
std::error_code lastWin32Error();

}  // namespace brivano::platform
