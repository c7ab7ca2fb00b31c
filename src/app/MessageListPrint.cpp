#include "app/MessageListPrint.h"

#include "app/Printer.h"
#include "texts/Texts.h"

namespace brivano::app {

namespace {

constexpr float kFontPoints = 9.0F;
constexpr int kTitleIndentColumns = 43;
constexpr int kRuleLength = 102;
constexpr int kFirstLineCharacters = 100;
constexpr char16_t kRuleCharacter = u'_';

QString titleText() {
    return texts::kPrintTitle.toString();
}
// A line that holds one blank, so it reads as empty on paper.
QString separatorText() {
    return QStringLiteral(" ");
}

// The position after the first `count` characters of `text`. A character
// outside the Basic Multilingual Plane takes two UTF-16 units; counting it
// as one keeps such a pair whole instead of printing two broken halves.
qsizetype endOfCharacters(const QString& text, int count) {
    qsizetype position = 0;
    for (int counted = 0; counted < count && position < text.size(); ++counted) {
        const bool pair = text.at(position).isHighSurrogate() && position + 1 < text.size() &&
                          text.at(position + 1).isLowSurrogate();
        position += pair ? 2 : 1;
    }
    return position;
}

}  // namespace

void printMessageList(const QStringList& entries, Printer& printer) {
    // Font and bold are set here, whatever the printer held before, so the
    // same list always gives the same document.
    printer.setFontSize(kFontPoints);
    printer.setBold(true);
    printer.printLine(titleText(), kTitleIndentColumns);
    printer.setBold(false);
    printer.printLine(QString(kRuleLength, QChar(kRuleCharacter)));
    printer.printLine(separatorText());
    printer.setBold(true);
    // Every entry takes exactly two lines; a long one is not split further.
    for (const QString& entry : entries) {
        const qsizetype split = endOfCharacters(entry, kFirstLineCharacters);
        printer.printLine(entry.first(split));
        printer.printLine(entry.sliced(split));
    }
    printer.endDocument();
}

}  // namespace brivano::app
