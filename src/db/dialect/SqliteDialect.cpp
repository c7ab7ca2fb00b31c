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

class SqliteDialect final : public Dialect {
  public:
    DatabaseKind kind() const override { return DatabaseKind::Sqlite; }
    std::span<const char* const> sessionSettings() const override { return kSessionSettings; }
    const SnapshotRules& snapshot() const override { return kSnapshot; }

    // SQLite counts a table without decoding its rows, but only where every
    // column is a stored one: an expression (in a view) may fail on a row
    // that a count never evaluates, and reading would stop there.
    std::optional<QString> countStatement(QStringView command,
                                          const std::vector<CountedColumn>& columns,
                                          bool firstOnly) const override {
        for (const CountedColumn& column : columns) {
            if (column.computed)
                return std::nullopt;
        }
        const QString rows = u'(' + enclosedCommand(command) + u')';
        if (firstOnly)
            return QStringLiteral("SELECT count(*) FROM (SELECT 1 FROM ") + rows +
                   QStringLiteral(" LIMIT 1)");
        return QStringLiteral("SELECT count(*) FROM ") + rows;
    }

    QString quotedName(QStringView name) const override { return quotedWith(name, u'"'); }
};

}  // namespace

const Dialect& sqliteDialect() {
    static const SqliteDialect dialect;
    return dialect;
}

}  // namespace brivano::db
