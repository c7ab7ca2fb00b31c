#include "db/dialect/Dialect.h"

namespace brivano::db {

extern const Dialect kSqliteDialect;
extern const Dialect kPostgresDialect;
extern const Dialect kMariaDbDialect;

namespace {

// A database whose habits are unknown is read as it is: no settings, no
// snapshot, rows counted by reading them, in whatever isolation the
// driver's default gives.
const Dialect kOtherDialect{DatabaseKind::Other, {}, {}, u'"', nullptr};

}  // namespace

const Dialect& dialectOf(DatabaseKind kind) {
    switch (kind) {
        case DatabaseKind::Sqlite:
            return kSqliteDialect;
        case DatabaseKind::PostgreSQL:
            return kPostgresDialect;
        case DatabaseKind::MariaDB:
            return kMariaDbDialect;
        case DatabaseKind::Other:
            break;
    }
    return kOtherDialect;
}

QString Dialect::quotedName(QStringView name) const {
    QString quoted = name.toString();
    quoted.replace(quote, QString(2, quote));
    return quote + quoted + quote;
}

QString enclosedCommand(QStringView command) {
    QStringView body = command.trimmed();
    while (body.endsWith(u';'))
        body = body.chopped(1).trimmed();
    return u'\n' + body.toString() + u'\n';
}

}  // namespace brivano::db
