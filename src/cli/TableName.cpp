#include "cli/TableName.h"

namespace brivano::cli {
namespace {

constexpr int kMostParts = 3;  // database.schema.table

bool isNameCharacter(QChar c) {
    return c.isLetterOrNumber() || c.category() == QChar::Mark_NonSpacing ||
           c.category() == QChar::Mark_SpacingCombining || c == u'_' || c == u'$';
}

// Reads one part at `at`; false when there is none that is well formed.
bool readPart(QStringView name, qsizetype& at) {
    if (at >= name.size())
        return false;
    const QChar first = name[at];
    if (first == u'"' || first == u'[') {
        const QChar close = first == u'"' ? QChar(u'"') : QChar(u']');
        const qsizetype end = name.indexOf(close, at + 1);
        // A quoted part holds something, and no quote of its own kind
        // (for brackets, no '[' either: it would open another).
        if (end <= at + 1 || (first == u'[' && name.sliced(at + 1, end - at - 1).contains(u'[')))
            return false;
        at = end + 1;
        return true;
    }
    const qsizetype start = at;
    while (at < name.size() && isNameCharacter(name[at]))
        ++at;
    return at > start;
}

}  // namespace

bool isTableName(QStringView name) {
    qsizetype at = 0;
    for (int part = 1; part <= kMostParts; ++part) {
        if (!readPart(name, at))
            return false;
        if (at == name.size())
            return true;
        if (name[at] != u'.')
            return false;
        ++at;
    }
    return false;
}

}  // namespace brivano::cli
