#include "export/CleanText.h"

namespace brivano::exporter {
namespace {

constexpr char16_t kApostrophe = u'\'';
constexpr char16_t kCarriageReturn = u'\r';
constexpr char16_t kBlank = u' ';

}  // namespace

void CleanText(QString& text) {
    // Most texts hold neither character: look before detaching a shared string.
    if (!text.contains(QChar(kApostrophe)) && !text.contains(QChar(kCarriageReturn)))
        return;
    CleanText(text.begin(), text.end());
}

void CleanText(QChar* begin, QChar* end) {
    for (QChar* at = begin; at != end; ++at) {
        if (*at == kApostrophe || *at == kCarriageReturn)
            *at = QChar(kBlank);
    }
}

QStringView trimBlanks(QStringView text) {
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text[first] == kBlank)
        ++first;
    while (last > first && text[last - 1] == kBlank)
        --last;
    return text.sliced(first, last - first);
}

}  // namespace brivano::exporter
