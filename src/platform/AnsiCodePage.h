#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringView>

namespace brivano::platform {

// The Windows ANSI code page that goes with a user's locale: the one in
// which the tool reads its settings file and writes its export file. One
// byte per character for the Western code pages, the Windows double-byte
// code pages for Chinese, Japanese and Korean.

// The code page of a Windows set to "UTF-8 for worldwide language support".
inline constexpr int kUtf8CodePage = 65001;

// The code page of the current user's locale (LC_ALL, else LC_CTYPE, else
// LANG); 1252 for C/POSIX and unknown languages.
int systemCodePage();
// The same choice for one locale name such as "it_IT.UTF-8" or "zh_TW".
int codePageForLocale(QStringView localeName);

// `bytes` in code page `number` as text. Throws Error when the code page
// is unknown or the bytes cannot be read in it.
QString decodeCodePage(QByteArrayView bytes, int number);

}  // namespace brivano::platform
