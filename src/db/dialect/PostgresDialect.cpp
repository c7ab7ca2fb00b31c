#include "db/dialect/Dialect.h"

namespace brivano::db {
namespace {

// A function takes at most 100 arguments.
constexpr int kArgumentsPerCall = 100;

// One snapshot for the whole run: a read-only repeatable-read transaction
// sees every table as it was at its first reading, and holds no writer
// off. A savepoint per table undoes a failed one, which would otherwise
// abort the whole transaction. Through ODBC the driver's manual-commit
// mode opens the transaction; the session's characteristics make it the
// same one.
constexpr SnapshotRules kSnapshot{
    .scope = SnapshotScope::Run,
    .begin = "BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY",
    .beginByStatement = false,
    .end = "COMMIT",
    .tableBegin = "SAVEPOINT brivano_table",
    .tableEnd = "RELEASE SAVEPOINT brivano_table",
    .tableUndo = "ROLLBACK TO SAVEPOINT brivano_table",
};

// The session reads only. Dates and reals are written as the ODBC driver
// has the server write them (ISO dates, reals to the last digit), for the
// types read as the server's text.
constexpr const char* kSessionSettings[] = {
    "SET SESSION CHARACTERISTICS AS TRANSACTION ISOLATION LEVEL REPEATABLE READ, READ ONLY",
    "SET DateStyle = 'ISO'",
    "SET extra_float_digits = 2",
};

QString columnName(int position) {
    return u'c' + QString::number(position + 1);
}

// True for every row, but only once each column of the row is computed.
QString everyColumnComputed(int columns) {
    QString condition;
    for (int k = 0; k < columns; ++k) {
        if (k % kArgumentsPerCall == 0)
            condition += k == 0 ? QStringLiteral("pg_catalog.num_nulls(")
                                : QStringLiteral(") + pg_catalog.num_nulls(");
        else
            condition += QStringLiteral(", ");
        condition += columnName(k);
    }
    return condition + QStringLiteral(") >= 0");
}

// The rows whose every column can be computed (a column of a view may fail
// on a row that a bare count would never compute), counted over the
// command taken whole, its columns named by position so that two of one
// name cannot clash.
CountStatements count(QStringView command, const std::vector<CountedColumn>& columns) {
    const int count = static_cast<int>(columns.size());
    const QString rows = QStringLiteral("FROM ") + positionalDerivedTable(command, count) +
                         QStringLiteral(" WHERE ") + everyColumnComputed(count);
    return {QStringLiteral("SELECT count(*) ") + rows,
            QStringLiteral("SELECT count(*) FROM (SELECT 1 ") + rows +
                QStringLiteral(" LIMIT 1) AS f")};
}

}  // namespace

QString positionalDerivedTable(QStringView command, int columns) {
    QString text = u'(' + enclosedCommand(command) + QStringLiteral(") AS t(");
    for (int k = 0; k < columns; ++k) {
        if (k > 0)
            text += QStringLiteral(", ");
        text += columnName(k);
    }
    return text + u')';
}

QString positionalColumnName(int position) {
    return columnName(position);
}

extern constinit const Dialect kPostgresDialect{DatabaseKind::PostgreSQL, kSessionSettings,
                                                kSnapshot, u'"', count};

}  // namespace brivano::db
