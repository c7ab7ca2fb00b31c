#pragma once

#include <QByteArray>
#include <QByteArrayView>

namespace brivano::exporter {

// Replaces every apostrophe and every carriage return in `text` by one blank,
// in place; the length does not change. The apostrophe is the export file's
// only quoting character, so quoted text must not contain one. The text is
// in the file's code page: neither byte is ever part of another character
// there, as in none of Windows' ANSI code pages.
void CleanText(QByteArray& text);
// The same on bytes already in place, such as the tail of a line.
void CleanText(char* begin, char* end);

// `text` without its leading and trailing blanks. Only the blank (code 32)
// counts: tabs and other white space stay.
QByteArrayView trimBlanks(QByteArrayView text);

}  // namespace brivano::exporter
