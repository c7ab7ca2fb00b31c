#include "texts/Texts.h"

#include <QStringList>

// What brivano-check says of a file, line by line and table by table.
namespace brivano::texts {

namespace {

QString counted(std::int64_t count, const char* one, const char* many) {
    return italianNumber(count) + QLatin1Char(' ') + QString::fromUtf8(count == 1 ? one : many);
}

}  // namespace

QString checkSummary(const QString& table, const QString& what) {
    return table + QStringLiteral(": ") + what;
}

QString checkColumnsAndRows(std::int64_t columns, std::int64_t rows) {
    return counted(columns, "colonna", "colonne") + QStringLiteral(", ") +
           counted(rows, "riga", "righe");
}

QString checkShortBlock(std::int64_t columns, std::int64_t announced, std::int64_t found) {
    return counted(columns, "colonna", "colonne") + QStringLiteral(", ") +
           counted(announced, "riga annunciata", "righe annunciate") + QStringLiteral(", ") +
           counted(found, "trovata", "trovate") + QStringLiteral(": blocco incompleto");
}

QString checkEmptied(std::int64_t announced) {
    return QStringLiteral("tabella svuotata durante l'esportazione (") +
           counted(announced, "riga annunciata", "righe annunciate") +
           QStringLiteral(", nessuna scritta)");
}

QString checkLineList(const QList<std::int64_t>& lines) {
    QStringList shown;
    for (const std::int64_t line : lines)
        shown << italianNumber(line);
    return QString::fromUtf8(lines.size() == 1 ? "riga " : "righe ") +
           shown.join(QStringLiteral(", "));
}

QString checkAmbiguousLines(std::int64_t count, const QString& shownLines, std::int64_t more,
                            const QStringList& columns) {
    QString text =
        counted(count, "riga ambigua", "righe ambigue") + QStringLiteral(" (") + shownLines;
    if (more > 0)
        text += QStringLiteral(" e altre ") + italianNumber(more);
    if (!columns.isEmpty()) {
        text += QString::fromUtf8(columns.size() == 1 ? ": colonna " : ": colonne ") +
                columns.join(QStringLiteral(", "));
    }
    return text + QLatin1Char(')');
}

QString checkProblem(std::int64_t line, const QStringList& columns, const QStringList& faults) {
    QString text = QStringLiteral("  riga ") + italianNumber(line);
    if (!columns.isEmpty()) {
        text += QString::fromUtf8(columns.size() == 1 ? ", colonna " : ", colonne ") +
                columns.join(QStringLiteral(", "));
    }
    return text + QStringLiteral(": ") + faults.join(QStringLiteral("; "));
}

QString checkContinuation(std::int64_t splitLine) {
    return QStringLiteral("seguito della riga ") + italianNumber(splitLine) +
           QStringLiteral(", spezzata da un a capo (CR LF) dentro un valore");
}

QString checkLineTooLong(qsizetype mostBytes) {
    return QStringLiteral("una riga più lunga di %1 MiB: non controllata").arg(mostBytes >> 20);
}

QString checkMoreProblems(std::int64_t count) {
    return QStringLiteral("  ... e altri ") + counted(count, "problema", "problemi") +
           QStringLiteral(" non elencati");
}

QString checkExtraRows(std::int64_t announced, std::int64_t found) {
    return QStringLiteral("  ") + counted(found, "riga trovata", "righe trovate") +
           QStringLiteral(", ") + italianNumber(found - announced) + QStringLiteral(" più delle ") +
           italianNumber(announced) +
           QStringLiteral(" annunciate: righe aggiunte durante l'esportazione");
}

}  // namespace brivano::texts
