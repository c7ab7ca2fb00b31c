#include "db/postgres/PgQueryText.h"

namespace brivano::db {

namespace {

// A function takes at most 100 arguments.
constexpr int kArgumentsPerCall = 100;

QByteArray columnName(int position) {
    return 'c' + QByteArray::number(position + 1);
}

// "(command) AS t(c1, ..., cN)". The command ends on a line of its own, so
// that a comment at its end cannot swallow the closing parenthesis; a
// semicolon at its end would end the statement, and goes.
QByteArray derivedTable(const QString& command, int columns) {
    QString body = command.trimmed();
    while (body.endsWith(u';'))
        body = body.chopped(1).trimmed();
    QByteArray text = "(\n" + body.toUtf8() + "\n) AS t(";
    for (int k = 0; k < columns; ++k) {
        if (k > 0)
            text += ", ";
        text += columnName(k);
    }
    return text + ')';
}

// True for every row, but only once each column of the row is computed.
QByteArray everyColumnComputed(int columns) {
    QByteArray condition;
    for (int k = 0; k < columns; ++k) {
        if (k % kArgumentsPerCall == 0)
            condition += k == 0 ? "pg_catalog.num_nulls(" : ") + pg_catalog.num_nulls(";
        else
            condition += ", ";
        condition += columnName(k);
    }
    return condition + ") >= 0";
}

QByteArray selectExpression(const PgColumn& column, int position) {
    const QByteArray name = columnName(position);
    if (column.type == kPgTimestampTzOid)
        return name + "::pg_catalog.timestamp";
    if (column.decoder == PgDecoder::OutputText)
        return "CASE WHEN " + name + " IS NULL THEN NULL ELSE pg_catalog.format('%s', " + name +
               ") END";
    return name;
}

}  // namespace

QByteArray pgCountStatement(const QString& command, int columns, bool firstOnly) {
    const QByteArray rows =
        "FROM " + derivedTable(command, columns) + " WHERE " + everyColumnComputed(columns);
    if (firstOnly)
        return "SELECT count(*) FROM (SELECT 1 " + rows + " LIMIT 1) AS f";
    return "SELECT count(*) " + rows;
}

QByteArray pgCopyStatement(const QString& command, const std::vector<PgColumn>& columns) {
    QByteArray list;
    for (size_t k = 0; k < columns.size(); ++k) {
        if (k > 0)
            list += ", ";
        list += selectExpression(columns[k], static_cast<int>(k));
    }
    return "COPY (SELECT " + list + " FROM " +
           derivedTable(command, static_cast<int>(columns.size())) + ") TO STDOUT (FORMAT binary)";
}

}  // namespace brivano::db
