#pragma once

#include <QString>
#include <QStringView>

namespace brivano::exporter {

// Replaces every apostrophe and every carriage return in `text` by one blank,
// in place; the length does not change. The apostrophe is the export file's
// only quoting character, so quoted text must not contain one.
void CleanText(QString& text);
// The same on characters already in place, such as the tail of a line.
void CleanText(QChar* begin, QChar* end);

// `text` without its leading and trailing blanks. Only the blank (code 32)
// counts: tabs and other white space stay.
QStringView trimBlanks(QStringView text);

}  // namespace brivano::exporter
