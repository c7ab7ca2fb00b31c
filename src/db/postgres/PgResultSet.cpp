#include "db/postgres/PgResultSet.h"

#include "db/dialect/Dialect.h"

namespace brivano::db {

PgResultSet::PgResultSet(std::shared_ptr<PgSession> session,
                         std::shared_ptr<const PgCommand> command)
    : session_(std::move(session)),
      command_(std::move(command)),
      stream_(*session_, static_cast<int>(command_->columns.size())),
      decoder_(command_->moneyScale) {
    buildFields(command_->columns);
    stream_.start(pgCopyStatement(command_->text, command_->columns));
    if (!stream_.next())
        endReached();
}

PgResultSet::PgResultSet(std::shared_ptr<PgSession> session,
                         std::shared_ptr<const PgCommand> command, NoRows)
    : session_(std::move(session)),
      command_(std::move(command)),
      stream_(*session_, 0),
      decoder_(command_->moneyScale) {
    buildFields(command_->columns);
    endReached();
}

void PgResultSet::advance() {
    try {
        if (stream_.next())
            return;
    } catch (const Error&) {
        // A row that cannot be read ends the result: there is no current
        // row to stand on.
        endReached();
        throw;
    }
    endReached();
}

std::int64_t PgResultSet::countRemainingRows() {
    std::int64_t rows = 1;  // the current row
    try {
        rows += stream_.skipRest();
    } catch (const Error&) {
        endReached();
        throw;
    }
    endReached();
    return rows;
}

void PgResultSet::readValue(int position, Value& value) {
    if (stream_.isNull(position))
        value.kind = ValueKind::Null;
    else
        decoder_.decode(command_->columns[static_cast<size_t>(position)], stream_.field(position),
                        value);
}

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
