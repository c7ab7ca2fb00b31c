#include "db/dialect/Dialect.h"

#include <QSet>

namespace brivano::db {

extern const Dialect kMariaDbDialect;

namespace {

// One consistent snapshot for the whole run: under InnoDB readers never
// block writers. A failure that ends the transaction (InnoDB rolls back a
// deadlock's) lets the next table open another.
constexpr SnapshotRules kSnapshot{
    .scope = SnapshotScope::Run,
    .begin = "START TRANSACTION WITH CONSISTENT SNAPSHOT, READ ONLY",
    .beginByStatement = true,
    .end = "COMMIT",
    .inTransactionQuery = "SELECT @@in_transaction",
};

// REPEATABLE READ gives every statement of a transaction the same snapshot.
constexpr const char* kSessionSettings[] = {
    "SET SESSION TRANSACTION ISOLATION LEVEL REPEATABLE READ, READ ONLY",
};

// A stored column never fails to be read, an expression may (an overflow in
// a view): the rows counted are those whose every expression was computed,
// each named in the condition. A derived table takes no two columns of one
// name, nor one without a name.
CountStatements count(QStringView command, const std::vector<CountedColumn>& columns) {
    QSet<QString> names;
    QString condition;
    for (const CountedColumn& column : columns) {
        const QString folded = column.name.toCaseFolded();
        if (column.name.isEmpty() || names.contains(folded))
            return {};
        names.insert(folded);
        if (!column.computed)
            continue;
        condition += (condition.isEmpty() ? QString() : QStringLiteral(" + ")) +
                     QStringLiteral("CASE WHEN ") + kMariaDbDialect.quotedName(column.name) +
                     QStringLiteral(" IS NULL THEN 1 ELSE 0 END");
    }
    QString rows = QStringLiteral("SELECT 1 FROM (") + enclosedCommand(command) +
                   QStringLiteral(") AS brivano_rows");
    if (!condition.isEmpty())
        rows += QStringLiteral(" WHERE ") + condition + QStringLiteral(" >= 0");
    const auto counted = [](const QString& what) {
        return QStringLiteral("SELECT COUNT(*) FROM (") + what +
               QStringLiteral(") AS brivano_count");
    };
    return {counted(rows), counted(rows + QStringLiteral(" LIMIT 1"))};
}

}  // namespace

extern constinit const Dialect kMariaDbDialect{DatabaseKind::MariaDB, kSessionSettings, kSnapshot,
                                               u'`', count};

}  // namespace brivano::db
