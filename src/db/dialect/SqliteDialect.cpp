#include "db/dialect/Dialect.h"

namespace brivano::db {
namespace {

// Readers of a file in rollback-journal mode keep writers out for as long
// as they read, so each table gets a snapshot of its own; in WAL mode they
// do not, and the whole run reads one. The transaction only ever read:
// rolling it back ends it even while a statement is still pending.
constexpr SnapshotRules kSnapshot{
    .scope = SnapshotScope::Table,
    .scopeQuery = "PRAGMA journal_mode",
    .runScopeAnswer = "wal",
    // The ODBC driver holds a whole result in memory once autocommit is off:
    // the transaction is opened by statement on every path.
    .begin = "BEGIN",
    .beginByStatement = true,
    .end = "ROLLBACK",
};

// Read-only twice over: no statement can write, even in a file that the
// system would let the tool write.
constexpr const char* kSessionSettings[] = {"PRAGMA query_only = 1"};

// SQLite counts a table without decoding its rows, but only where every
// column is a stored one: an expression (in a view) may fail on a row that a
// count never evaluates, and reading would stop there.
CountStatements count(QStringView command, const std::vector<CountedColumn>& columns) {
    for (const CountedColumn& column : columns) {
        if (column.computed)
            return {};
    }
    const QString rows = u'(' + enclosedCommand(command) + u')';
    return {QStringLiteral("SELECT count(*) FROM ") + rows,
            QStringLiteral("SELECT count(*) FROM (SELECT 1 FROM ") + rows +
                QStringLiteral(" LIMIT 1)")};
}

}  // namespace

extern constinit const Dialect kSqliteDialect{DatabaseKind::Sqlite, kSessionSettings, kSnapshot,
                                              u'"', count};

}  // namespace brivano::db
