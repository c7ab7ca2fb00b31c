#include "platform/AnsiCodePage.h"

#include <windows.h>

#include <climits>

#include "platform/Win32Error.h"
#include "texts/Error.h"
#include "texts/Texts.h"

namespace brivano::platform {

// The code page Windows itself uses for every program's narrow text; 65001
// where the machine is set to UTF-8 for all programs.
int systemCodePage() {
    return static_cast<int>(GetACP());
}

QString decodeCodePage(QByteArrayView bytes, int number) {
    const auto codePage = static_cast<UINT>(number);
    if (number <= 0 || !IsValidCodePage(codePage)) {
        throw Error(ERROR_INVALID_PARAMETER,
                    texts::codePageUnavailable(number, win32Message(ERROR_INVALID_PARAMETER)));
    }
    if (bytes.isEmpty())
        return {};
    if (bytes.size() > INT_MAX) {
        throw Error(ERROR_INVALID_PARAMETER,
                    texts::cannotDecode(number, win32Message(ERROR_INVALID_PARAMETER)));
    }
    // No MB_ERR_INVALID_CHARS: a byte without a character is read as the
    // system reads it, never a reason to lose the whole text.
    const int size = static_cast<int>(bytes.size());
    const int length = MultiByteToWideChar(codePage, 0, bytes.data(), size, nullptr, 0);
    QString out(length, Qt::Uninitialized);
    if (length == 0 ||
        MultiByteToWideChar(codePage, 0, bytes.data(), size, reinterpret_cast<wchar_t*>(out.data()),
                            length) != length) {
        const DWORD error = GetLastError();
        throw Error(error, texts::cannotDecode(number, win32Message(error)));
    }
    return out;
}

}  // namespace brivano::platform
