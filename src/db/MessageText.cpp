#include "db/MessageText.h"

namespace brivano::db {
namespace {

bool isBreak(QChar c) {
    return c == u'\n' || c == u'\r' || c == u'\t';
}

bool isBlank(QChar c) {
    return c == u' ' || isBreak(c);
}

}  // namespace

QString singleLineMessage(QStringView text) {
    QString line;
    line.reserve(text.size());
    qsizetype i = 0;
    while (i < text.size()) {
        if (!isBlank(text[i])) {
            line.append(text[i++]);
            continue;
        }
        qsizetype end = i;
        bool hasBreak = false;
        while (end < text.size() && isBlank(text[end])) {
            hasBreak = hasBreak || isBreak(text[end]);
            ++end;
        }
        if (hasBreak) {
            line.append(u' ');
        } else {
            line.append(text.mid(i, end - i));
        }
        i = end;
    }
    return line.trimmed();
}

}  // namespace brivano::db
