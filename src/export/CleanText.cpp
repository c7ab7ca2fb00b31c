#include "export/CleanText.h"

#include <cstring>

#include "export/ExportFormat.h"

namespace brivano::exporter {
namespace {

constexpr char kBlank = ' ';

}  // namespace

void CleanText(QByteArray& text) {
    // Most texts hold neither character: look before detaching a shared array.
    if (!text.contains(kApostrophe) && !text.contains(kCarriageReturn))
        return;
    CleanText(text.begin(), text.end());
}

void CleanText(char* begin, char* end) {
    for (char* at = begin; at != end; ++at) {
        if (*at == kApostrophe || *at == kCarriageReturn)
            *at = kBlank;
    }
}

QByteArrayView trimBlanks(QByteArrayView text) {
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text[first] == kBlank)
        ++first;
    while (last > first && text[last - 1] == kBlank)
        --last;
    return text.sliced(first, last - first);
}

}  // namespace brivano::exporter
