#include "db/postgres/PgQueryText.h"

#include "db/dialect/Dialect.h"

namespace brivano::db {

namespace {

QString selectExpression(const PgColumn& column, int position) {
    const QString name = positionalColumnName(position);
    if (column.type == kPgTimestampTzOid)
        return name + QStringLiteral("::pg_catalog.timestamp");
    if (column.decoder == PgDecoder::OutputText)
        return QStringLiteral("CASE WHEN ") + name +
               QStringLiteral(" IS NULL THEN NULL ELSE pg_catalog.format('%s', ") + name +
               QStringLiteral(") END");
    return name;
}

}  // namespace

QByteArray pgCopyStatement(const QString& command, const std::vector<PgColumn>& columns) {
    QString list;
    for (size_t k = 0; k < columns.size(); ++k) {
        if (k > 0)
            list += QStringLiteral(", ");
        list += selectExpression(columns[k], static_cast<int>(k));
    }
    return (QStringLiteral("COPY (SELECT ") + list + QStringLiteral(" FROM ") +
            positionalDerivedTable(command, static_cast<int>(columns.size())) +
            QStringLiteral(") TO STDOUT (FORMAT binary)"))
        .toUtf8();
}

}  // namespace brivano::db
